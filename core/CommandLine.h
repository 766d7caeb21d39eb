#pragma once

// Torvane's command line: what each option asks for, read from the
// arguments as the runtime splits them (the program's name left out).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Command {
    Window,   // no arguments, or /path alone
    SetAside, // /quiet: rename with no window (for every user with /allusers)
    Restore,  // /restore: the undo
    Usage,    // /? or /help
    Invalid,  // anything else: nothing is touched
};

struct CommandLine {
    Command command = Command::Window;
    bool quiet = false;
    // /allusers: the job for every user of the machine.
    bool allUsers = false;
    // /check: the job's plan, every rename only tested; implies quiet.
    bool check = false;
    std::optional<std::string> path;
    std::optional<std::string> log;
    // For Invalid: what is wrong, naming the argument.
    std::string problem;
};

CommandLine ParseCommandLine(const std::vector<std::string> &arguments);

// The parameters that open the window on path, quoted as the runtime
// splits them again.
std::string WindowWithPathParameters(const std::string &path);

// What /? shows: every command, and the exit codes.
extern const std::string_view UsageText;
