#include "core/CommandJob.h"

#include "app/modMain.h"
#include "base/Win32Codes.h"
#include "core/AllUsersJob.h"
#include "core/CheckReport.h"
#include "core/CopyJob.h"
#include "core/DatabaseRules.h"
#include "core/OutputDialogs.h"
#include "core/RunReport.h"
#include "platform/NetworkPath.h"

#include <string>

namespace {

// Usage to the console or redirected output; without either, in a message
// box unless the run is quiet, which never waits for a click.
int ShowUsage(const PlatformServices &services, IRunOutput &output, bool quiet,
              const std::string &problem) {
    if (output.HasConsole()) {
        // Line by line, so each gets the line break of where it goes. The
        // problem may name what the user typed: one line, whatever it holds.
        if (!problem.empty()) {
            output.WriteLine(problem);
            output.WriteLine({});
        }
        const std::string usage(UsageText);
        std::size_t start = 0;
        for (std::size_t end; (end = usage.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            output.WriteLine(usage.substr(start, end - start));
        }
    } else if (!quiet) {
        services.dialogs.ShowMessage(problem.empty()
                                         ? std::string(UsageText)
                                         : problem + "\r\n\r\n" + std::string(UsageText),
                                     MESSAGE_OK_ONLY);
    }
    return problem.empty() ? 0 : Win32Code::InvalidParameter;
}

int BadCommandLine(const PlatformServices &services, IRunOutput &output, bool quiet,
                   const std::string &problem) {
    return ShowUsage(services, output, quiet,
                     FailureLine("Nothing touched: " + problem, services.application,
                                 Win32Code::InvalidParameter));
}

// Every name the job may move a file from or to.
std::vector<std::string> NamesOf(const std::vector<DatabaseCopy> &copies) {
    std::vector<std::string> names;
    for (const DatabaseCopy &copy : copies) {
        names.push_back(copy.path);
        names.push_back(RenamedPath(copy.path));
    }
    return names;
}

// path without a stream part (":name", ":name:$DATA", "::$DATA"): the
// file whose stream it names.
std::string WithoutStream(const std::string &path) {
    const std::size_t separator = path.find_last_of("\\/");
    std::size_t name = separator == std::string::npos ? 0 : separator + 1;
    if (name == 0 && path.size() >= 2 && path[1] == ':') {
        name = 2; // a drive's current folder: "C:file"
    }
    return path.substr(0, path.find(':', name));
}

// The name among names that log is, or a stream of, if any: as a full path,
// as a file, or as an entry of the same folder however either is spelt.
std::optional<std::string> NameTheLogIs(IFileSystem &files, const std::string &log,
                                        const std::vector<std::string> &names) {
    const std::string file = WithoutStream(log);
    const std::string fullLog = files.FullPath(file);
    for (const std::string &name : names) {
        if (files.SameName(fullLog, files.FullPath(name)) || files.SameExistingFile(file, name) ||
            files.SameEntry(file, name)) {
            return name;
        }
    }
    return std::nullopt;
}

// The job proper: what it acts on is known before the log is opened, so a
// log that names one of its files is refused before anything is created.
class Job {
public:
    Job(const PlatformServices &services, IUserProfiles &profiles, IRunOutput &output,
        RunReport &report, const CommandLine &commandLine)
        : services_(services), profiles_(profiles), output_(output), report_(report),
          commandLine_(commandLine),
          direction_(commandLine.command == Command::Restore ? Direction::Restore
                                                             : Direction::SetAside) {}

    int Run() {
        const int exitCode = RunJob();
        // A check's 1 says a run would rename a copy, and nothing else.
        return commandLine_.check && !planChecked_ ? CheckExitCode(exitCode) : exitCode;
    }

private:
    int RunJob() {
        if (LogsOnShareAsSystem()) {
            return BadCommandLine(services_, output_, commandLine_.quiet,
                                  "the log " + *commandLine_.log +
                                      " is on a network share, which a run as System reaches as "
                                      "this computer's account: log to a local folder, such as "
                                      "%SystemRoot%\\Logs\\Torvane");
        }
        if (commandLine_.allUsers && !services_.application.IsElevated()) {
            report_.Line(FailureLine(
                "Nothing touched: /allusers acts for every user, which needs administrator "
                "rights (run it elevated or as System)",
                services_.application, Win32Code::ElevationRequired));
            return Win32Code::ElevationRequired;
        }
        return commandLine_.allUsers ? RunForEveryUser() : RunForThisUser();
    }

    // On a share the computer's account owns what a run as System makes,
    // which no privileged run's owner rule accepts again, and no folder
    // there can be made Administrators'.
    bool LogsOnShareAsSystem() {
        if (!commandLine_.log || !services_.application.RunsAsSystem()) {
            return false;
        }
        try {
            return IsNetworkPath(services_.files, services_.files.FullPath(*commandLine_.log));
        } catch (const std::exception &) {
            return false; // opening the log says what is wrong with it
        }
    }

    int RunForThisUser() {
        std::vector<DatabaseCopy> copies;
        try {
            // Full paths, so every line names the file whatever the folder.
            const std::string path = services_.files.FullPath(
                commandLine_.path ? *commandLine_.path : DatabaseRules::LookUpDatabase(services_));
            copies = CopiesOf(services_, path);
        } catch (const std::exception &failure) {
            return Report({ExitCodeFor(ToAppError(failure)),
                           {FailureLine("Nothing changed", ToAppError(failure))}});
        }
        if (const std::optional<int> refused = OpenLog(NamesOf(copies))) {
            return *refused;
        }
        if (commandLine_.check) {
            Plan plan = PlanCopies(services_, copies, direction_);
            CarryOut(services_.files, plan, RenameMode::TestOnly);
            return Report(
                Checked(plan, UnitOutcome(services_.application, plan.units.front(), direction_)));
        }
        return Report(MoveCopies(services_, copies, direction_));
    }

    int RunForEveryUser() {
        // Held until every hive is unloaded, after the last line.
        std::unique_ptr<IUsersLock> lock;
        try {
            lock = profiles_.LockUsers();
        } catch (const std::exception &failure) {
            const AppError error = ToAppError(failure);
            if (error.IsWin32(Win32Code::SharingViolation)) {
                report_.Line(FailureLine(
                    "Nothing touched: another Torvane run is working on this machine's users",
                    error));
                return Win32Code::SharingViolation;
            }
            // No other code: a tool that reads 2 as nothing to do, or 5 as
            // a reason to elevate, would be misled.
            report_.Line(FailureLine("Nothing touched: cannot make sure no other Torvane run is "
                                     "working on this machine's users (error " +
                                         std::to_string(ExitCodeFor(error)) + ": " +
                                         error.Description() + ")",
                                     services_.application, Win32Code::InternalError));
            return Win32Code::InternalError;
        }
        // A check reads a hive an earlier run left loaded where it is.
        EveryUsersCopies everyone =
            FindEveryUsersCopies(services_, profiles_, commandLine_.path, report_,
                                 commandLine_.check ? LeftHives::Leave : LeftHives::Unload);
        std::vector<std::string> names;
        for (const UserCopies &user : everyone.users) {
            const std::vector<std::string> own = NamesOf(user.copies);
            names.insert(names.end(), own.begin(), own.end());
        }
        if (const std::optional<int> refused = OpenLog(names)) {
            return *refused;
        }
        const bool check = commandLine_.check;
        Plan plan = PlanEveryUsersCopies(services_, everyone, direction_);
        CarryOut(services_.files, plan, check ? RenameMode::TestOnly : RenameMode::Rename);
        Outcome outcome = EveryUsersOutcome(services_, everyone, plan);
        if (check) {
            outcome = Checked(plan, outcome);
        }
        // A hive that stays loaded keeps its user from signing in: that
        // outweighs finding nothing to do.
        const Outcome hives = UnloadHivesLeftLoaded(everyone);
        outcome.lines.insert(outcome.lines.end(), hives.lines.begin(), hives.lines.end());
        if (hives.exitCode != 0 &&
            (outcome.exitCode == 0 || outcome.exitCode == Win32Code::FileNotFound)) {
            outcome.exitCode = hives.exitCode;
        }
        return Report(outcome);
    }

    // The plan printed, its renames tested: run is what the run would end
    // with, had it met what the tests met.
    Outcome Checked(const Plan &plan, const Outcome &run) {
        planChecked_ = true;
        return CheckOutcome(services_.application, plan, run.exitCode);
    }

    // Opens the log when asked; the exit code when the run must end here.
    std::optional<int> OpenLog(const std::vector<std::string> &names) {
        if (!commandLine_.log) {
            return std::nullopt;
        }
        const std::string &log = *commandLine_.log;
        try {
            if (const auto name = NameTheLogIs(services_.files, log, names)) {
                return BadCommandLine(services_, output_, commandLine_.quiet,
                                      "the log " + log + " would be written into " + *name +
                                          ", a file the job renames");
            }
            // Elevated or System, the log's place is checked: a user may
            // have planted its folder, or the log, where the run writes.
            report_.OpenLog(log, services_.application.IsElevated());
        } catch (const std::exception &failure) {
            // The log's own failure is no outcome of the job: a tool that
            // reads 5 or 32 would run it elevated or retry it for ever.
            const AppError error = ToAppError(failure);
            report_.Line(FailureLine("Nothing changed: cannot open the log " + log + " (error " +
                                         std::to_string(ExitCodeFor(error)) + ": " +
                                         error.Description() + ")",
                                     services_.application, Win32Code::OpenFailed));
            return Win32Code::OpenFailed;
        }
        return std::nullopt;
    }

    int Report(const Outcome &outcome) {
        for (const std::string &line : outcome.lines) {
            report_.Line(line);
        }
        int exitCode = outcome.exitCode;
        if (report_.LogIncomplete()) {
            output_.WriteLine("The log " + *commandLine_.log +
                              " lacks lines of this run: they could not be written to it.");
            if (exitCode == 0) {
                exitCode = Win32Code::OpenFailed;
            }
        }
        if (!commandLine_.quiet) {
            std::string text;
            for (const std::string &line : outcome.lines) {
                text += (text.empty() ? "" : "\r\n") + line;
            }
            services_.dialogs.ShowMessage(text, MESSAGE_OK_ONLY);
        }
        return exitCode;
    }

    const PlatformServices &services_;
    IUserProfiles &profiles_;
    IRunOutput &output_;
    RunReport &report_;
    const CommandLine &commandLine_;
    Direction direction_;
    bool planChecked_ = false;
};

} // namespace

int RunCommand(const PlatformServices &services, IUserProfiles &profiles, IRunOutput &output,
               const CommandLine &commandLine, const std::string &applicationTitle) {
    switch (commandLine.command) {
    case Command::Usage:
        return ShowUsage(services, output, commandLine.quiet, {});
    case Command::Invalid:
        return BadCommandLine(services, output, commandLine.quiet, commandLine.problem);
    case Command::Window:
        // Start-up opens the window itself and never asks for it here; if
        // it were asked, usage says how to open it.
        return ShowUsage(services, output, commandLine.quiet, {});
    case Command::SetAside:
    case Command::Restore:
        break;
    }
    RunReport report(output);
    OutputDialogs quietDialogs(report, applicationTitle);
    const PlatformServices run{
        services.registry,    services.codePage,
        services.files,       commandLine.quiet ? quietDialogs : services.dialogs,
        services.application, services.folders};
    // Declared after the dialogs the settings object reports through.
    const ProgramSettingsLifetime settingsLifetime;
    return Job(run, profiles, output, report, commandLine).Run();
}
