#include "core/OutputDialogs.h"

std::string OneLine(const std::string &text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            if (!line.empty() && line.back() != ' ') {
                line.push_back(' ');
            }
            continue;
        }
        line.push_back(text[i]);
    }
    return line;
}

void OutputDialogs::ShowMessage(const std::string &prompt, std::uint32_t,
                                const std::optional<std::string> &title) {
    report_.Line(title.value_or(applicationTitle_) + ": " + OneLine(prompt));
}

std::optional<std::string> OutputDialogs::ShowOpenFile(const OpenFileRequest &) {
    return std::nullopt;
}

bool OutputDialogs::AskYesNo(const std::string &) { return false; }
