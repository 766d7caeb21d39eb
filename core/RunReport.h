#pragma once

// The lines of a run without a window. Each goes to the console (or the
// redirected output) at once, and to the log once it is open: lines written
// before then wait for it, so what the settings store reports while the
// database is looked up still reaches the log.

#include "platform/IRunOutput.h"

#include <string>
#include <vector>

class RunReport {
public:
    explicit RunReport(IRunOutput &output) : output_(output) {}

    void Line(const std::string &line);
    // Opens the log, as a privileged run opens it when privileged, and
    // writes the lines held for it. Throws AppError.
    void OpenLog(const std::string &path, bool privileged);
    // True once a line could not be written to the open log.
    bool LogIncomplete() const { return logIncomplete_; }

private:
    void Append(const std::string &line);

    IRunOutput &output_;
    bool logOpen_ = false;
    bool logIncomplete_ = false;
    std::vector<std::string> held_;
};
