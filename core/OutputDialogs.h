#pragma once

// The dialogs of a run with no window: what would be a message box becomes
// a line of output, "title: text", and no question is ever asked.

#include "core/RunReport.h"
#include "platform/PlatformServices.h"

class OutputDialogs : public IDialogs {
public:
    OutputDialogs(RunReport &report, std::string applicationTitle)
        : report_(report), applicationTitle_(std::move(applicationTitle)) {}

    void ShowMessage(const std::string &prompt, std::uint32_t style,
                     const std::optional<std::string> &title) override;
    std::optional<std::string> ShowOpenFile(const OpenFileRequest &request) override;
    bool AskYesNo(const std::string &prompt) override;

private:
    RunReport &report_;
    std::string applicationTitle_;
};

// Text as one line: each line break becomes one space.
std::string OneLine(const std::string &text);
