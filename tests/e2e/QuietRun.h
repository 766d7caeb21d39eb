#pragma once

// Torvane.exe run from the command line with its standard output on a
// pipe, watched until it ends: its exit code, what it wrote, and every
// visible top-level window it had at any moment.

#include "ChildProcess.h"

#include <windows.h>

#include <optional>
#include <string>
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
// Started as a scheduler or a fleet agent starts it: with no standard
// output and no console. Its output is then empty.
QuietRun RunTorvaneWithoutConsole(const std::vector<std::wstring> &arguments);
