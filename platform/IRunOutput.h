#pragma once

// Where a run from the command line reports what it did: the console it was
// started from or its redirected standard output, and a log file when asked.

#include <string>

class IRunOutput {
public:
    virtual ~IRunOutput() = default;
    // True when lines reach a console or a redirected standard output.
    virtual bool HasConsole() = 0;
    // Opens the log for appending, creating it if need be; every later line
    // goes there too. Throws AppError when it cannot.
    virtual void OpenLog(const std::string &path) = 0;
    // One line, without its line break. A line that cannot be written is
    // lost: the run's exit code still tells the outcome.
    virtual void WriteLine(const std::string &line) = 0;
};
