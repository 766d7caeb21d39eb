#include "core/CommandJob.h"

#include "app/modMain.h"
#include "base/PathWords.h"
#include "base/Win32Codes.h"
#include "core/AllUsersJob.h"
#include "core/DatabaseRules.h"
#include "core/EveryUsersPlan.h"
#include "core/OutputDialogs.h"
#include "core/RunLines.h"
#include "core/RunReport.h"
#include "core/StandardReport.h"
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

// The name among names that log is, or a stream of, if any: as a full path,
// as a file, or as an entry of the same folder however either is spelt.
std::optional<std::string> NameTheLogIs(IFileSystem &files, const std::string &log,
                                        const std::vector<std::string> &names) {
    const std::string file = PathWords::WithoutStream(log);
    const std::string fullLog = files.FullPath(file);
    for (const std::string &name : names) {
        if (files.SameName(fullLog, files.FullPath(name)) || files.SameExistingFile(file, name) ||
            files.SameEntry(file, name)) {
            return name;
        }
    }
    return std::nullopt;
}

// The one route of every run without a window: gather the units (the
// running user's, or every user's with their hives held), decide, carry
// out (only tested for a check), and put the plan in words; then one end
// for every run, early or not, and one exit code from DecideExit.
class Job {
public:
    Job(const PlatformServices &services, IUserProfiles &profiles, IRunOutput &output,
        RunReport &report, const CommandLine &commandLine, const StopRequested &stop)
        : services_(services), profiles_(profiles), output_(output), report_(report),
          commandLine_(commandLine), stop_(stop),
          direction_(commandLine.command == Command::Restore ? Direction::Restore
                                                             : Direction::SetAside) {
        end_.check = commandLine.check;
    }

    int Run() {
        if (LogsOnShareAsSystem()) {
            RefuseCommandLine("the log " + *commandLine_.log +
                              " is on a network share, which a run as System reaches as this "
                              "computer's account: log to a local folder, such as "
                              "%SystemRoot%\\Logs\\Torvane");
            return End();
        }
        if (commandLine_.allUsers && !services_.application.IsElevated()) {
            Refuse("Nothing touched: /allusers acts for every user, which needs administrator "
                   "rights (run it elevated or as System)",
                   SystemError(services_.application, Win32Code::ElevationRequired),
                   "administrator rights needed");
            return End();
        }
        std::optional<Plan> plan = commandLine_.allUsers ? GatherEveryUser() : GatherThisUser();
        if (plan && OpenLog()) {
            Decide(services_.files, *plan);
            CarryOut(services_.files, *plan,
                     commandLine_.check ? RenameMode::TestOnly : RenameMode::Rename,
                     [this] { return Stopped(); });
            for (const std::string &line :
                 PlanLines(*plan, commandLine_.check ? LineForm::Check : LineForm::Run,
                           services_.application)) {
                Answer(line);
            }
            end_.plan = TallyOf(*plan, services_.application);
            planned_ = true;
        }
        return End();
    }

private:
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

    // The running user's copies, as the window finds them.
    std::optional<Plan> GatherThisUser() {
        try {
            // Full paths, so every line names the file whatever the folder.
            const std::string path = services_.files.FullPath(
                commandLine_.path ? *commandLine_.path : DatabaseRules::LookUpDatabase(services_));
            const std::vector<DatabaseCopy> copies = CopiesOf(services_, path);
            AddNames(copies);
            return ThisUsersPlan(copies, direction_);
        } catch (const std::exception &failure) {
            const AppError error = ToAppError(failure);
            Answer(FailureLine("Nothing changed", error));
            end_.search = RunFailure{ExitCodeFor(error), "the database cannot be looked up"};
            return std::nullopt;
        }
    }

    // Every user's copies, their hives read while this run alone works on
    // the machine's users.
    std::optional<Plan> GatherEveryUser() {
        try {
            lock_ = profiles_.LockUsers();
        } catch (const std::exception &failure) {
            const AppError error = ToAppError(failure);
            if (error.IsWin32(Win32Code::SharingViolation)) {
                Refuse("Nothing touched: another Torvane run is working on this machine's users",
                       error, "another Torvane run is working on this machine's users");
            } else {
                // Never a code a fleet reads as something else: 2 would say
                // there is nothing to do.
                Refuse("Nothing touched: cannot make sure no other Torvane run is working on "
                       "this machine's users (error " +
                           std::to_string(ExitCodeFor(error)) + ": " + error.Description() + ")",
                       SystemError(services_.application, Win32Code::InternalError),
                       "the lock cannot be taken");
            }
            return std::nullopt;
        }
        // A check reads a hive an earlier run left loaded where it is.
        everyone_ = FindEveryUsersCopies(services_, profiles_, commandLine_.path, report_,
                                         commandLine_.check ? LeftHives::Leave : LeftHives::Unload,
                                         [this] { return Stopped(); });
        end_.search = everyone_.failure;
        for (const UserCopies &user : everyone_.users) {
            AddNames(user.copies);
        }
        return EveryUsersPlan(services_.files, everyone_, direction_);
    }

    // Every name the job may move a file from or to, for the log's check.
    void AddNames(const std::vector<DatabaseCopy> &copies) {
        for (const DatabaseCopy &copy : copies) {
            names_.push_back(copy.path);
            names_.push_back(RenamedPath(copy.path));
        }
    }

    // Opens the log when asked; false when the run must end here.
    bool OpenLog() {
        if (!commandLine_.log) {
            return true;
        }
        const std::string &log = *commandLine_.log;
        try {
            if (const auto name = NameTheLogIs(services_.files, log, names_)) {
                RefuseCommandLine("the log " + log + " would be written into " + *name +
                                  ", a file the job renames");
                return false;
            }
            // Elevated or System, the log's place is checked: a user may
            // have planted its folder, or the log, where the run writes.
            report_.OpenLog(log, services_.application.IsElevated());
        } catch (const std::exception &failure) {
            // The log's own failure is no outcome of the job: a tool that
            // reads 5 or 32 would run it elevated or retry it for ever.
            const AppError error = ToAppError(failure);
            Refuse("Nothing changed: cannot open the log " + log + " (error " +
                       std::to_string(ExitCodeFor(error)) + ": " + error.Description() + ")",
                   SystemError(services_.application, Win32Code::OpenFailed),
                   "the log " + log + " cannot be opened");
            return false;
        }
        return true;
    }

    // A command line the run cannot take: the usage, and 87.
    void RefuseCommandLine(const std::string &problem) {
        end_.refused = RunFailure{BadCommandLine(services_, output_, commandLine_.quiet, problem),
                                  "a bad command line"};
    }

    void Refuse(const std::string &line, const AppError &error, const std::string &what) {
        report_.Line(FailureLine(line, error));
        end_.refused = RunFailure{ExitCodeFor(error), what};
    }

    bool Stopped() {
        if (!stop_ || !stop_()) {
            return false;
        }
        end_.cancelled = true;
        return true;
    }

    // Every run ends here: the hives found or loaded are unloaded and one
    // that stays is reported, the summary comes last, and the code is the
    // one DecideExit gives.
    int End() {
        if (!everyone_.hivesLeftLoaded.empty()) {
            HivesAtTheEnd hives = UnloadHivesLeftLoaded(everyone_);
            for (const std::string &line : hives.lines) {
                report_.Line(line);
            }
            end_.hives = hives.failure;
        }
        if (end_.cancelled) {
            report_.Line(FailureLine("Stopped: nothing more is renamed", services_.application,
                                     Win32Code::Cancelled));
        }
        if (report_.LogIncomplete()) {
            output_.WriteLine("The log " + *commandLine_.log +
                              " lacks lines of this run: they could not be written to it.");
            end_.log =
                RunFailure{Win32Code::OpenFailed, "the log " + *commandLine_.log + " lacks lines"};
        }
        const RunFailure exit = DecideExit(end_);
        if (planned_ && (commandLine_.check || commandLine_.allUsers)) {
            Summary summary;
            summary.form = commandLine_.check ? LineForm::Check : LineForm::Run;
            summary.direction = direction_;
            summary.everyUser = commandLine_.allUsers;
            summary.users = everyone_.users.size();
            summary.unreachableProfiles = everyone_.unreachableProfiles;
            summary.tally = end_.plan;
            summary.exit = exit;
            report_.Line(SummaryLine(summary));
        }
        if (!commandLine_.quiet && !answer_.empty()) {
            services_.dialogs.ShowMessage(answer_, MESSAGE_OK_ONLY);
        }
        return exit.code;
    }

    // A line of the job's answer, which a run that is not quiet also shows
    // in its one message box.
    void Answer(const std::string &line) {
        report_.Line(line);
        answer_ += (answer_.empty() ? "" : "\r\n") + line;
    }

    const PlatformServices &services_;
    IUserProfiles &profiles_;
    IRunOutput &output_;
    RunReport &report_;
    const CommandLine &commandLine_;
    const StopRequested &stop_;
    Direction direction_;
    RunEnd end_;
    bool planned_ = false;
    std::string answer_;
    // Held until every hive is unloaded, after the last line.
    std::unique_ptr<IUsersLock> lock_;
    EveryUsersCopies everyone_;
    // Every name the job may move a file from or to.
    std::vector<std::string> names_;
};

// Every command but the window, over run's services.
int RunCommandLine(const PlatformServices &run, IUserProfiles &profiles, IRunOutput &output,
                   RunReport &report, const CommandLine &commandLine, const StopRequested &stop) {
    switch (commandLine.command) {
    case Command::Usage:
        return ShowUsage(run, output, commandLine.quiet, {});
    case Command::Invalid:
        return BadCommandLine(run, output, commandLine.quiet, commandLine.problem);
    case Command::Window:
        // Start-up opens the window itself and never asks for it here; if
        // it were asked, usage says how to open it.
        return ShowUsage(run, output, commandLine.quiet, {});
    case Command::SetAside:
    case Command::Restore:
        break;
    }
    return Job(run, profiles, output, report, commandLine, stop).Run();
}

} // namespace

int RunCommand(const PlatformServices &services, IUserProfiles &profiles, IRunOutput &output,
               const CommandLine &commandLine, const std::string &applicationTitle,
               const StopRequested &stop) {
    RunReport report(output);
    OutputDialogs quietDialogs(report, applicationTitle);
    const PlatformServices run{
        services.registry,    services.codePage,
        services.files,       commandLine.quiet ? quietDialogs : services.dialogs,
        services.application, services.folders};
    // Declared after the dialogs the settings object reports through.
    const ProgramSettingsLifetime settingsLifetime;
    // The window's boundary: a failure that gets out of the run is reported
    // as the window reports it, and ends the run with the code it gives.
    int exitCode = Win32Code::InternalError;
    ReportAnyFailure(
        run.dialogs,
        [&] { exitCode = RunCommandLine(run, profiles, output, report, commandLine, stop); },
        [&](const std::exception &failure) { exitCode = ExitCodeFor(ToAppError(failure)); });
    return exitCode;
}
