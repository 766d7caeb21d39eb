#include "core/RunReport.h"

void RunReport::Line(const std::string &line) {
    output_.WriteLine(line);
    if (logOpen_) {
        Append(line);
    } else {
        held_.push_back(line);
    }
}

void RunReport::OpenLog(const std::string &path, bool privileged) {
    output_.OpenLog(path, privileged);
    logOpen_ = true;
    for (const std::string &line : held_) {
        Append(line);
    }
    held_.clear();
}

void RunReport::Append(const std::string &line) {
    if (!output_.AppendToLog(line)) {
        logIncomplete_ = true;
    }
}
