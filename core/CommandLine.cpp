#include "core/CommandLine.h"

#include "base/AsciiText.h"

#include <string_view>

namespace {

enum class Option { Quiet, Restore, AllUsers, Check, Path, Log, Help };

struct OptionName {
    std::string_view name; // lower case
    Option option;
};

constexpr OptionName Options[] = {
    {"quiet", Option::Quiet}, {"restore", Option::Restore}, {"allusers", Option::AllUsers},
    {"check", Option::Check}, {"path", Option::Path},       {"log", Option::Log},
    {"?", Option::Help},      {"help", Option::Help},
};

// The option an argument names: "/" or "-", then a name in any case.
std::optional<Option> OptionOf(const std::string &argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
        return std::nullopt;
    }
    for (const OptionName &known : Options) {
        if (AsciiText::SameIgnoringCase(std::string_view(argument).substr(1), known.name)) {
            return known.option;
        }
    }
    return std::nullopt;
}

// Asks for no window and no message box: /quiet, or /check, which implies it.
bool AsksForQuiet(const std::string &argument) {
    const std::optional<Option> option = OptionOf(argument);
    return option == Option::Quiet || option == Option::Check;
}

// Even a command line that is wrong says whether it asked for quiet.
CommandLine Invalid(const std::vector<std::string> &arguments, std::string problem) {
    CommandLine invalid;
    invalid.command = Command::Invalid;
    for (const std::string &argument : arguments) {
        invalid.quiet = invalid.quiet || AsksForQuiet(argument);
    }
    invalid.problem = std::move(problem);
    return invalid;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string> &arguments) {
    CommandLine parsed;
    bool quiet = false;
    bool restore = false;
    bool allUsers = false;
    bool check = false;
    bool help = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        const std::optional<Option> option = OptionOf(argument);
        if (!option) {
            return Invalid(arguments, "unknown option: " + argument);
        }
        if (*option == Option::Help) {
            help = true;
            continue;
        }
        if (*option == Option::Quiet || *option == Option::Restore || *option == Option::AllUsers ||
            *option == Option::Check) {
            bool &flag = *option == Option::Quiet     ? quiet
                         : *option == Option::Restore ? restore
                         : *option == Option::Check   ? check
                                                      : allUsers;
            if (flag) {
                return Invalid(arguments, argument + " is given twice");
            }
            flag = true;
            continue;
        }
        std::optional<std::string> &value = *option == Option::Path ? parsed.path : parsed.log;
        if (value) {
            return Invalid(arguments, argument + " is given twice");
        }
        // An option where the file name should be means the name was left out.
        if (i + 1 == arguments.size() || arguments[i + 1].empty() || OptionOf(arguments[i + 1])) {
            return Invalid(arguments, argument + " needs a file name after it");
        }
        value = arguments[++i];
    }
    if (help) {
        // Asked for quiet, usage too never waits for a click.
        CommandLine usage;
        usage.command = Command::Usage;
        usage.quiet = quiet || check;
        return usage;
    }
    // A check never shows a window or a message box.
    quiet = quiet || check;
    if (allUsers && !quiet) {
        return Invalid(arguments, "/allusers needs /quiet");
    }
    parsed.quiet = quiet;
    parsed.allUsers = allUsers;
    parsed.check = check;
    if (restore) {
        parsed.command = Command::Restore;
    } else if (quiet) {
        parsed.command = Command::SetAside;
    } else if (parsed.log) {
        return Invalid(arguments, "/log needs /quiet or /restore");
    }
    return parsed;
}

std::string WindowWithPathParameters(const std::string &path) {
    // The runtime reads backslashes before a quote as escapes: double them.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : path) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"') {
                quoted.append(backslashes + 1, '\\');
            }
            backslashes = 0;
        }
        quoted.push_back(c);
    }
    quoted.append(backslashes, '\\');
    return "/path " + quoted + "\"";
}

const std::string_view UsageText =
    "Torvane.exe                   the window\r\n"
    "Torvane.exe /path <file>      the window, on <file> in place of the stored path\r\n"
    "Torvane.exe /quiet [/path <file>] [/log <logfile>]\r\n"
    "    no window, no message: rename the database (found as the window finds it,\r\n"
    "    or <file>) to <path>.Advanced, and its copy in your VirtualStore likewise,\r\n"
    "    never overwriting, and exit with a code\r\n"
    "Torvane.exe /quiet /allusers [/path <file>] [/log <logfile>]\r\n"
    "    the same for every user of the machine; needs administrator rights (or System)\r\n"
    "Torvane.exe /restore [/quiet] [/allusers] [/path <file>] [/log <logfile>]\r\n"
    "    the undo: <path>.Advanced gets its old name back, never overwriting\r\n"
    "Torvane.exe /check [/restore] [/allusers] [/path <file>] [/log <logfile>]\r\n"
    "    what that run would do, changing nothing (no window, no message); a line\r\n"
    "    per copy; exit 1 when the run would rename a copy, 0 when every copy is\r\n"
    "    already as the run would leave it, else the code the run would end with\r\n"
    "Torvane.exe /? (or /help)     this text\r\n"
    "Options: any case, / or -. Lines to the console or standard output, also appended\r\n"
    "to <logfile> with a time stamp; <logfile> may not be the database.\r\n"
    "Exit codes: 0 done or already done; 2 no file at either name; 183 files at both;\r\n"
    "32 in use, retry later; 5 access denied, run elevated; 87 bad command line;\r\n"
    "110 the log cannot be opened or written, or (elevated) its place is not safe;\r\n"
    "740 /allusers without administrator rights;\r\n"
    "any other: the Win32 error of the failed step (with /check, 31 for 1).\r\n";
