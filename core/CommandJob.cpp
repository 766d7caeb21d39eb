#include "core/CommandJob.h"

#include "base/Win32Codes.h"
#include "core/DatabaseRules.h"
#include "core/OutputDialogs.h"

#include <string>
#include <string_view>

namespace {

struct Outcome {
    int exitCode;
    std::string line;
};

// The two directions of the one job: set aside, and the undo.
struct Direction {
    bool restore;
    std::string_view done;    // "Renamed", "Restored"
    std::string_view already; // how it reads when found already done
};

constexpr Direction SetAsideJob{false, "Renamed", "already renamed"};
constexpr Direction RestoreJob{true, "Restored", "already restored"};

Outcome Failed(const std::exception &failure, std::string_view what) {
    // The program's own numbers are named by the Win32 code they exit with.
    const AppError error = ToAppError(failure);
    const int code = ExitCodeFor(error);
    return {code,
            std::string(what) + ". Error " + std::to_string(code) + ": " + error.Description()};
}

// A failure the job finds itself, with the system's description of code.
Outcome Failed(const PlatformServices &services, int code, std::string_view what) {
    return Failed(AppError(ErrorCategory::Win32, code, services.application.ErrorText(code), {}),
                  what);
}

Outcome Move(const PlatformServices &services, const std::string &path, const Direction &job) {
    const std::string renamed = DatabaseRules::RenamedPath(path);
    const std::string &from = job.restore ? renamed : path;
    const std::string &to = job.restore ? path : renamed;
    bool fromExists = false;
    bool toExists = false;
    const std::string *searched = &from;
    try {
        fromExists = DatabaseRules::FileExists(services.files, from);
        searched = &to;
        toExists = DatabaseRules::FileExists(services.files, to);
    } catch (const std::exception &failure) {
        return Failed(failure, "Nothing changed: cannot search for " + *searched);
    }
    if (!fromExists && toExists) {
        return {0, "Nothing to do: " + to + " exists and " + from + " does not (" +
                       std::string(job.already) + ")."};
    }
    if (!fromExists) {
        return Failed(services, Win32Code::FileNotFound,
                      "Nothing to do: neither " + path + " nor " + renamed + " exists");
    }
    if (toExists) {
        return Failed(services, Win32Code::AlreadyExists,
                      "Nothing changed: both " + path + " and " + renamed + " exist");
    }
    try {
        if (job.restore) {
            DatabaseRules::RestoreName(services.files, path);
        } else {
            DatabaseRules::SetAside(services.files, path);
        }
    } catch (const std::exception &failure) {
        return Failed(failure, "Nothing changed: cannot rename " + from + " to " + to);
    }
    return {0, std::string(job.done) + " " + from + " to " + to + "."};
}

Outcome RunJob(const PlatformServices &services, IRunOutput &output,
               const CommandLine &commandLine) {
    if (commandLine.log) {
        try {
            output.OpenLog(*commandLine.log);
        } catch (const std::exception &failure) {
            return Failed(failure, "Nothing changed: cannot open the log " + *commandLine.log);
        }
    }
    const Direction &job = commandLine.command == Command::Restore ? RestoreJob : SetAsideJob;
    try {
        const std::string path =
            commandLine.path ? *commandLine.path : DatabaseRules::LookUpDatabase(services);
        return Move(services, path, job);
    } catch (const std::exception &failure) {
        return Failed(failure, "Nothing changed");
    }
}

int ShowUsage(const PlatformServices &services, IRunOutput &output, bool quiet,
              const std::string &problem) {
    const std::string text =
        problem.empty() ? std::string(UsageText) : problem + "\r\n\r\n" + std::string(UsageText);
    if (output.HasConsole()) {
        // Line by line, so each gets the line break of where it goes.
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            output.WriteLine(text.substr(start, end - start));
        }
    } else if (!quiet) {
        services.dialogs.ShowMessage(text, MESSAGE_OK_ONLY);
    }
    return problem.empty() ? 0 : Win32Code::InvalidParameter;
}

} // namespace

int ExitCodeFor(const AppError &error) {
    switch (error.Category()) {
    case ErrorCategory::Win32:
        return error.Number();
    case ErrorCategory::Program:
        switch (error.Number()) {
        case ErrorNumber::InvalidText:
            return Win32Code::NoUnicodeTranslation;
        case ErrorNumber::OutOfMemory:
            return Win32Code::NotEnoughMemory;
        default:
            break;
        }
        break;
    case ErrorCategory::CommonDialog:
        break;
    }
    return Win32Code::InternalError;
}

int RunCommand(const PlatformServices &services, IRunOutput &output,
               const CommandLine &commandLine) {
    switch (commandLine.command) {
    case Command::Usage:
        return ShowUsage(services, output, commandLine.quiet, {});
    case Command::Invalid: {
        const std::string problem = "Nothing touched: " + commandLine.problem + ". Error " +
                                    std::to_string(Win32Code::InvalidParameter) + ": " +
                                    services.application.ErrorText(Win32Code::InvalidParameter);
        return ShowUsage(services, output, commandLine.quiet, problem);
    }
    case Command::Window:
        // Start-up opens the window itself and never asks for it here; if
        // it were asked, usage says how to open it.
        return ShowUsage(services, output, commandLine.quiet, {});
    case Command::SetAside:
    case Command::Restore:
        break;
    }
    const Outcome outcome = RunJob(services, output, commandLine);
    output.WriteLine(outcome.line);
    if (!commandLine.quiet) {
        services.dialogs.ShowMessage(outcome.line, MESSAGE_OK_ONLY);
    }
    return outcome.exitCode;
}
