#pragma once

// Torvane.exe run from the command line with its standard output on a
// pipe, watched until it ends: its exit code, what it wrote, and every
// visible top-level window it had at any moment.

#include "ChildProcess.h"
#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct QuietRun {
    DWORD exitCode;
    std::string output;
    // Descriptions of the visible top-level windows seen while it ran.
    std::vector<std::string> windowsSeen;
};

// Throws, naming the windows seen, if the program does not end in time.
QuietRun RunTorvane(const std::vector<std::wstring> &arguments);
// Started as options say, but with its standard output on the pipe.
QuietRun RunTorvane(StartOptions options);
// Started with its standard output redirected to a file, as a deployment
// script captures it; the output is what the file holds once it has ended.
QuietRun RunTorvaneIntoFile(const std::vector<std::wstring> &arguments);
// Started as a scheduler or a fleet agent starts it: with no standard
// output and no console. Its output is then empty.
QuietRun RunTorvaneWithoutConsole(const std::vector<std::wstring> &arguments);

// Torvane.exe run from the command line with its standard output on a pipe
// that holds nothing: the first line it writes waits until the pipe is
// read, which holds the run where it is.
class HeldRun {
public:
    explicit HeldRun(const std::vector<std::wstring> &arguments);

    // Whether a line waits to be read.
    bool Wrote() const;
    bool Running() const { return torvane_.Running(); }
    void Kill() const { torvane_.Kill(); }
    // Reads what it writes until it ends.
    QuietRun Finish() const;

private:
    // The pipe's read end and write end, the latter only until the
    // program has its own.
    HeldRun(std::pair<unique_handle, unique_handle> pipe,
            const std::vector<std::wstring> &arguments);

    unique_handle reader_;
    ChildProcess torvane_;
};
