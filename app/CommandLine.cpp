#include "app/CommandLine.h"

#include <algorithm>

namespace {

enum class Option { Quiet, Restore, Path, Log, Help };

struct OptionName {
    const char *name;
    Option option;
};

constexpr OptionName Options[] = {
    {"quiet", Option::Quiet}, {"restore", Option::Restore}, {"path", Option::Path},
    {"log", Option::Log},     {"?", Option::Help},          {"help", Option::Help},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

// The option an argument names: "/" or "-", then a name in any case.
std::optional<Option> OptionOf(const std::string &argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
        return std::nullopt;
    }
    const std::string name = Lower(argument.substr(1));
    for (const OptionName &known : Options) {
        if (name == known.name) {
            return known.option;
        }
    }
    return std::nullopt;
}

// Even a command line that is wrong says whether it asked for quiet.
CommandLine Invalid(const std::vector<std::string> &arguments, std::string problem) {
    CommandLine invalid;
    invalid.command = Command::Invalid;
    invalid.quiet = std::any_of(arguments.begin(), arguments.end(),
                                [](const std::string &a) { return OptionOf(a) == Option::Quiet; });
    invalid.problem = std::move(problem);
    return invalid;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string> &arguments) {
    CommandLine parsed;
    bool quiet = false;
    bool restore = false;
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
        if (*option == Option::Quiet || *option == Option::Restore) {
            bool &flag = *option == Option::Quiet ? quiet : restore;
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
        CommandLine usage;
        usage.command = Command::Usage;
        return usage;
    }
    parsed.quiet = quiet;
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

const char *const UsageText =
    "Torvane renames the Quorvex database to <path>.Advanced, so that Quorvex Basic can be "
    "installed.\r\n"
    "\r\n"
    "Torvane.exe\r\n"
    "    The window.\r\n"
    "Torvane.exe /path <file>\r\n"
    "    The window, with <file> in place of the stored path.\r\n"
    "Torvane.exe /quiet [/path <file>] [/log <logfile>]\r\n"
    "    No window and no message: find the database as the window does (or take <file>),\r\n"
    "    rename it to <path>.Advanced without ever overwriting, and exit with a code.\r\n"
    "Torvane.exe /restore [/quiet] [/path <file>] [/log <logfile>]\r\n"
    "    The undo: give <path>.Advanced its old name back, never overwriting; without\r\n"
    "    /quiet the outcome is shown in a message.\r\n"
    "Torvane.exe /? (or /help)\r\n"
    "    This text.\r\n"
    "\r\n"
    "Options are case-insensitive and may start with / or -. /path and /log take the next\r\n"
    "argument (quoted when it holds spaces). Each run writes one line to the console, or to\r\n"
    "standard output when redirected, and appends it to <logfile>, time-stamped, with /log.\r\n"
    "\r\n"
    "Exit codes of /quiet and /restore:\r\n"
    "    0    done, or found already done: nothing left to do\r\n"
    "    2    no file at <path> nor at <path>.Advanced: nothing to do\r\n"
    "    183  files at both names: nothing changed\r\n"
    "    32   the database is open (Quorvex is running): nothing changed; retry later\r\n"
    "    5    not allowed to rename there: run elevated\r\n"
    "    87   unknown option, or /path or /log without its file name: nothing touched\r\n"
    "    any other: the Windows error code of the step that failed; nothing changed\r\n";
