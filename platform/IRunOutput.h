#pragma once

// Where a run from the command line reports what it did: the console it was
// started from or its redirected standard output, and a log file when asked.

#include "platform/LineText.h"

#include <string>

class IRunOutput {
public:
    virtual ~IRunOutput() = default;
    // True when lines reach a console or a redirected standard output.
    virtual bool HasConsole() = 0;
    // One line, without its line break, to the console or standard output
    // (nowhere when there is none).
    void WriteLine(const std::string &line) { Write(EscapedLine(line)); }
    // Opens the log for appending, creating it and its missing folders if
    // need be. A privileged run (elevated or System) makes each folder
    // with a protected security of its own and uses a folder or log it
    // finds only when no user could have planted it there (see
    // OpenGuardedLog). Throws AppError when it cannot, of
    // ErrorCategory::Refusal when the log's place is refused.
    virtual void OpenLog(const std::string &path, bool privileged) = 0;
    // Appends one line to the open log, after the local time stamp, in one
    // write. False when the line could not be written whole (a full disk,
    // say).
    bool AppendToLog(const std::string &line) { return Append(EscapedLine(line)); }

protected:
    // Where every line goes, each already escaped, so that what a user
    // wrote into it can neither end it nor forge one.
    virtual void Write(const std::string &line) = 0;
    virtual bool Append(const std::string &line) = 0;
};
