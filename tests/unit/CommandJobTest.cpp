#include "core/CommandJob.h"
#include "CommandRun.h"
#include "app/modMain.h"
#include "base/Win32Codes.h"
#include "core/Outcome.h"
#include "core/OutputDialogs.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeUserProfiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

using namespace std::string_literals;

const std::string Db = "D:\\Data\\QvxData.mdb";
const std::string Renamed = Db + ".Advanced";
const std::string DefaultPath = "C:\\Program Files\\Quorvex\\QvxData.mdb";
const std::string ProductKey = "SOFTWARE\\Kestrova\\Quorvex\\Defaults";

class CommandJobTest : public ::testing::Test {
protected:
    FakeServices fakes;
    FakeUserProfiles profiles;
    FakeRunOutput output;
    ProgramSettingsLifetime settingsLifetime;

    int Run(const std::vector<std::string> &arguments) {
        return RunCommand(fakes.Services(), profiles, output, ParseCommandLine(arguments),
                          "Torvane");
    }
    std::vector<std::string> Files() const { return fakes.files.Names(); }
};

struct JobCase {
    const char *name;
    std::vector<std::string> arguments;
    std::vector<std::string> before;
    std::optional<AppError> renameFailure;
    int exitCode;
    std::vector<std::string> after;
    std::string line;
};

const AppError Denied(ErrorCategory::Win32, 5, "Access is denied.", "MoveFileExW");
const AppError InUse(ErrorCategory::Win32, 32, "Sharing violation.", "MoveFileExW");
const AppError BadName(ErrorCategory::Win32, 123, "Invalid name.", "MoveFileExW");

TEST_F(CommandJobTest, EachStateOfTheTwoNamesEndsInItsCode) {
    const JobCase cases[] = {
        {"renames",
         {"/quiet", "/path", Db},
         {Db},
         std::nullopt,
         0,
         {Renamed},
         "Renamed " + Db + " to " + Renamed + "."},
        {"already renamed",
         {"/quiet", "/path", Db},
         {Renamed},
         std::nullopt,
         0,
         {Renamed},
         "Nothing to do: " + Renamed + " exists and " + Db + " does not (already renamed)."},
        {"neither",
         {"/quiet", "/path", Db},
         {},
         std::nullopt,
         2,
         {},
         "Nothing to do: neither " + Db + " nor " + Renamed +
             " exists. Error 2: System text of 2."},
        {"both",
         {"/quiet", "/path", Db},
         {Db, Renamed},
         std::nullopt,
         183,
         {Db, Renamed},
         "Nothing changed: both " + Db + " and " + Renamed +
             " exist. Error 183: System text of 183."},
        {"in use",
         {"/quiet", "/path", Db},
         {Db},
         InUse,
         32,
         {Db},
         "Nothing changed: cannot rename " + Db + " to " + Renamed +
             ". Error 32: Sharing violation."},
        {"denied",
         {"/quiet", "/path", Db},
         {Db},
         Denied,
         5,
         {Db},
         "Nothing changed: cannot rename " + Db + " to " + Renamed +
             ". Error 5: Access is denied."},
        {"other",
         {"/quiet", "/path", Db},
         {Db},
         BadName,
         123,
         {Db},
         "Nothing changed: cannot rename " + Db + " to " + Renamed + ". Error 123: Invalid name."},
        {"restores",
         {"/restore", "/quiet", "/path", Db},
         {Renamed},
         std::nullopt,
         0,
         {Db},
         "Restored " + Renamed + " to " + Db + "."},
        {"already restored",
         {"/restore", "/quiet", "/path", Db},
         {Db},
         std::nullopt,
         0,
         {Db},
         "Nothing to do: " + Db + " exists and " + Renamed + " does not (already restored)."},
        {"restore neither",
         {"/restore", "/quiet", "/path", Db},
         {},
         std::nullopt,
         2,
         {},
         "Nothing to do: neither " + Db + " nor " + Renamed +
             " exists. Error 2: System text of 2."},
        {"restore both",
         {"/restore", "/quiet", "/path", Db},
         {Db, Renamed},
         std::nullopt,
         183,
         {Db, Renamed},
         "Nothing changed: both " + Db + " and " + Renamed +
             " exist. Error 183: System text of 183."},
        {"restore in use",
         {"/restore", "/quiet", "/path", Db},
         {Renamed},
         InUse,
         32,
         {Renamed},
         "Nothing changed: cannot rename " + Renamed + " to " + Db +
             ". Error 32: Sharing violation."},
    };
    for (const JobCase &c : cases) {
        const CommandRun run = RunOver(c.arguments, c.before, [&](FakeServices &arranged) {
            arranged.files.openFailure = c.renameFailure;
        });
        EXPECT_EQ(c.exitCode, run.exitCode) << c.name;
        EXPECT_EQ(c.after, run.files) << c.name;
        EXPECT_EQ(std::vector<std::string>{c.line}, run.lines) << c.name;
        EXPECT_EQ(0u, run.messagesShown) << c.name;
        // The registry is read only when no path is given.
        EXPECT_EQ(0u, run.keysOpened) << c.name;
    }
}

TEST_F(CommandJobTest, WithoutAPathItLooksUpTheDatabaseAsTheWindowDoes) {
    fakes.files.AddFile(DefaultPath);
    EXPECT_EQ(0, Run({"/quiet"}));
    EXPECT_EQ(std::vector<std::string>{DefaultPath + ".Advanced"}, Files());
    EXPECT_EQ(std::vector<std::string>{ProductKey}, fakes.registry.OpenedPaths());

    FakeServices stored;
    stored.registry.Store(HKEY_CURRENT_USER_VALUE, ProductKey, "Database", RegistryType::String,
                          Db + "\0"s);
    stored.files.AddFile(Renamed);
    stored.files.AddFile(DefaultPath);
    FakeRunOutput out;
    EXPECT_EQ(0, RunCommand(stored.Services(), profiles, out,
                            ParseCommandLine({"/restore", "/quiet"}), "Torvane"));
    EXPECT_EQ((std::vector<std::string>{DefaultPath, Db}),
              (std::vector<std::string>{stored.files.files.begin()->first,
                                        std::next(stored.files.files.begin())->first}));
}

TEST_F(CommandJobTest, InQuietModeTheSettingsStoreReportsToTheOutputAndTheRunGoesOn) {
    fakes.registry.StoreKey(HKEY_CURRENT_USER_VALUE, ProductKey);
    fakes.registry.Store(HKEY_CURRENT_USER_VALUE, ProductKey, "Database", RegistryType::String,
                         Db + "\0"s);
    fakes.codePage.fromAnsiFailure =
        AppError(ErrorCategory::Program, ErrorNumber::InvalidText, "Invalid text", "FromAnsi");
    output.console = true;

    // The value cannot be read, so the default is used, as in the window.
    EXPECT_EQ(Win32Code::FileNotFound, Run({"/quiet", "/log", "C:\\t.log"}));
    EXPECT_TRUE(fakes.dialogs.messages.empty()) << "a message box in quiet mode";
    const std::string copy =
        "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files\\Quorvex\\QvxData.mdb";
    const std::vector<std::string> expected{
        "GetKeyValue: Error: 5. Invalid text",
        "Nothing to do: neither " + copy + ", " + copy + ".Advanced, " + DefaultPath + " nor " +
            DefaultPath + ".Advanced exists. Error 2: System text of 2."};
    EXPECT_EQ(expected, output.lines);
    EXPECT_EQ(expected, output.logLines);
}

TEST_F(CommandJobTest, RestoreWithoutQuietShowsTheOutcomeInOneMessage) {
    fakes.files.AddFile(Renamed);
    EXPECT_EQ(0, Run({"/restore", "/path", Db}));
    ASSERT_EQ(1u, fakes.dialogs.messages.size());
    EXPECT_EQ("Restored " + Renamed + " to " + Db + ".", fakes.dialogs.messages[0].prompt);
    EXPECT_FALSE(fakes.dialogs.messages[0].title.has_value()) << "titled Torvane";
    EXPECT_EQ(output.lines, std::vector<std::string>{fakes.dialogs.messages[0].prompt});

    fakes.dialogs.messages.clear();
    EXPECT_EQ(2, Run({"/restore", "/path", "D:\\Gone.mdb"}));
    EXPECT_EQ(1u, fakes.dialogs.messages.size());
}

TEST_F(CommandJobTest, ALogThatCannotBeOpenedEndsTheRunWith110BeforeAnythingIsTouched) {
    // 5 and 32 would read as "run elevated" and "retry" to a fleet tool.
    for (const int code : {3, 5, 32}) {
        FakeServices fresh;
        FakeRunOutput out;
        fresh.files.AddFile(Db);
        out.logFailure = AppError(ErrorCategory::Win32, code, "Reason.", "CreateFileW");
        const ProgramSettingsLifetime lifetime;
        EXPECT_EQ(Win32Code::OpenFailed,
                  RunCommand(fresh.Services(), profiles, out,
                             ParseCommandLine({"/quiet", "/path", Db, "/log", "Q:\\no\\t.log"}),
                             "Torvane"));
        EXPECT_EQ(1u, fresh.files.files.count(Db));
        EXPECT_TRUE(fresh.files.renames.empty());
        EXPECT_EQ(std::vector<std::string>{"Nothing changed: cannot open the log Q:\\no\\t.log "
                                           "(error " +
                                           std::to_string(code) +
                                           ": Reason.). Error 110: System text of 110."},
                  out.lines);
    }
}

TEST_F(CommandJobTest, UsageGoesToTheConsoleOrElseToAMessageUnlessQuiet) {
    EXPECT_EQ(0, Run({"/?"}));
    EXPECT_GT(output.lines.size(), 10u);
    EXPECT_EQ(output.lines.end(),
              std::find_if(output.lines.begin(), output.lines.end(), [](const std::string &l) {
                  return l.find('\r') != std::string::npos || l.find('\n') != std::string::npos;
              }));
    EXPECT_TRUE(fakes.dialogs.messages.empty());

    output.console = false;
    EXPECT_EQ(0, Run({"/help"}));
    ASSERT_EQ(1u, fakes.dialogs.messages.size());
    EXPECT_EQ(UsageText, fakes.dialogs.messages[0].prompt);
}

TEST_F(CommandJobTest, ABadCommandLineTouchesNothingAndEndsWith87) {
    fakes.files.AddFile(Db);
    EXPECT_EQ(87, Run({"/quiet", "/path", Db, "/bogus"}));
    ASSERT_FALSE(output.lines.empty());
    EXPECT_EQ("Nothing touched: unknown option: /bogus. Error 87: System text of 87.",
              output.lines[0]);

    output.console = false;
    output.lines.clear();
    EXPECT_EQ(87, Run({"/quiet", "/log"}));
    EXPECT_TRUE(fakes.dialogs.messages.empty()) << "a message box in quiet mode";
    EXPECT_EQ(87, Run({"/restore", "/path"}));
    ASSERT_EQ(1u, fakes.dialogs.messages.size());
    EXPECT_EQ(0u, fakes.dialogs.messages[0].prompt.find(
                      "Nothing touched: /path needs a file name after it. Error 87"));
    EXPECT_EQ(std::vector<std::string>{Db}, Files());
    EXPECT_TRUE(fakes.files.searched.empty());
    EXPECT_TRUE(fakes.registry.OpenedPaths().empty());
}

TEST(ExitCodeTest, TheProgramsOwnNumbersExitWithTheWin32CodeThatSaysTheSame) {
    struct Case {
        ErrorCategory category;
        std::int32_t number;
        int exitCode;
    };
    const Case cases[] = {
        {ErrorCategory::Win32, 5, 5},
        {ErrorCategory::Win32, 1224, 1224},
        {ErrorCategory::Program, ErrorNumber::InvalidText, Win32Code::NoUnicodeTranslation},
        {ErrorCategory::Program, ErrorNumber::OutOfMemory, Win32Code::NotEnoughMemory},
        {ErrorCategory::Program, ErrorNumber::Internal, Win32Code::InternalError},
        {ErrorCategory::CommonDialog, 0x3003, Win32Code::InternalError},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.exitCode, ExitCodeFor(AppError(c.category, c.number, "d", "s"))) << c.number;
    }
}

TEST(CommandBoundaryTest, AFailureThatGetsOutOfTheRunIsReportedAndExitsWithItsCode) {
    struct Case {
        const char *what;
        std::function<void()> fail;
        int exitCode;
        std::string line;
    };
    const Case cases[] = {
        {"memory", [] { throw std::bad_alloc(); }, Win32Code::NotEnoughMemory,
         "Torvane: Error 7: Out of memory"},
        {"Win32",
         [] { throw AppError(ErrorCategory::Win32, 1450, "Insufficient resources.", "X"); }, 1450,
         "Torvane: Error 1450: Insufficient resources."},
        {"internal", [] { throw std::logic_error("unforeseen"); }, Win32Code::InternalError,
         "Torvane: Error 51: unforeseen"},
    };
    for (const Case &c : cases) {
        FakeServices fakes;
        FakeUserProfiles profiles;
        FakeRunOutput output;
        const ProgramSettingsLifetime lifetime;
        fakes.files.AddFile(Db);
        // The rename's line is the first written, and the only one that fails.
        output.beforeWrite = [&c, failed = false]() mutable {
            if (!std::exchange(failed, true)) {
                c.fail();
            }
        };
        EXPECT_EQ(c.exitCode, RunCommand(fakes.Services(), profiles, output,
                                         ParseCommandLine({"/quiet", "/path", Db}), "Torvane"))
            << c.what;
        EXPECT_EQ(std::vector<std::string>{c.line}, output.lines) << c.what;
        EXPECT_TRUE(fakes.dialogs.messages.empty()) << c.what;
    }
}

TEST_F(CommandJobTest, AProgramFailureIsNotTakenForAccessDenied) {
    fakes.files.AddFile(Db);
    fakes.files.openFailure =
        AppError(ErrorCategory::Program, ErrorNumber::InvalidText, "Invalid text", "Widen");
    EXPECT_EQ(Win32Code::NoUnicodeTranslation, Run({"/quiet", "/path", Db}));
    EXPECT_EQ(std::vector<std::string>{"Nothing changed: cannot rename " + Db + " to " + Renamed +
                                       ". Error 1113: Invalid text"},
              output.lines);
}

TEST(OneLineTest, LineBreaksBecomeOneSpace) {
    EXPECT_EQ("Error 5: Access is denied.", OneLine("Error 5:\r\n\r\nAccess is denied."));
    EXPECT_EQ("a b c", OneLine("a\nb\rc"));
    EXPECT_EQ("plain", OneLine("plain"));
}

struct LogCase {
    const char *what;
    std::vector<std::string> arguments;
};

TEST_F(CommandJobTest, ALogThatNamesAFileOfTheJobIsABadCommandLine) {
    fakes.files.currentFolder = "D:\\Data";
    fakes.files.links["D:\\Links\\db.mdb"] = Db;
    // Spellings no text comparison meets: Wine has neither streams nor
    // administrative shares.
    fakes.files.folderSpellings["\\\\localhost\\d$\\Data"] = "D:\\Data";
    fakes.files.folderSpellings["\\\\?\\D:\\Data"] = "D:\\Data";
    fakes.files.shortNames["D:\\Data\\QVXDAT~1.MDB"] = Db;
    const LogCase cases[] = {
        {"a stream", {"/quiet", "/path", Db, "/log", Db + ":log"}},
        {"a stream's data", {"/quiet", "/path", Db, "/log", Db + ":log:$DATA"}},
        {"the unnamed stream", {"/quiet", "/path", Db, "/log", Db + "::$DATA"}},
        {"the renamed name's stream", {"/quiet", "/path", Db, "/log", Renamed + "::$DATA"}},
        {"through a share",
         {"/quiet", "/path", Db, "/log", "\\\\localhost\\d$\\Data\\QvxData.mdb"}},
        {"a stream through a share",
         {"/quiet", "/path", Db, "/log", "\\\\localhost\\d$\\Data\\qvxdata.mdb.advanced:log"}},
        {"a stream, in the \\\\?\\ form",
         {"/quiet", "/path", Db, "/log", "\\\\?\\D:\\Data\\QvxData.mdb:log"}},
        {"a stream of its 8.3 name", {"/quiet", "/path", Db, "/log", "D:\\Data\\QVXDAT~1.MDB:log"}},
        {"the database", {"/quiet", "/path", Db, "/log", Db}},
        {"in another case", {"/quiet", "/path", Db, "/log", "d:\\DATA\\qvxdata.MDB"}},
        {"relative", {"/quiet", "/path", Db, "/log", "QvxData.mdb"}},
        {"through a hard link", {"/quiet", "/path", Db, "/log", "D:\\Links\\db.mdb"}},
        {"the renamed name", {"/quiet", "/path", Db, "/log", Renamed}},
        {"the renamed name, restoring", {"/restore", "/quiet", "/path", Db, "/log", Renamed}},
        {"no database yet", {"/quiet", "/path", "D:\\Data\\New.mdb", "/log", "New.mdb"}},
    };
    for (const LogCase &c : cases) {
        FakeServices fresh;
        FakeRunOutput out;
        fresh.files = fakes.files;
        fresh.files.AddFile(Db);
        const ProgramSettingsLifetime lifetime;
        EXPECT_EQ(Win32Code::InvalidParameter, RunCommand(fresh.Services(), profiles, out,
                                                          ParseCommandLine(c.arguments), "Torvane"))
            << c.what;
        EXPECT_FALSE(out.logPath.has_value()) << c.what << ": the log was opened";
        EXPECT_TRUE(fresh.files.renames.empty()) << c.what;
        ASSERT_FALSE(out.lines.empty()) << c.what;
        EXPECT_EQ(0u, out.lines[0].find("Nothing touched: the log "))
            << c.what << ": " << out.lines[0];
        EXPECT_NE(std::string::npos, out.lines[0].find("Error 87")) << out.lines[0];
    }
}

// A run as System logs locally: on a share the file and its folders would
// be the computer account's, which no later run accepts.
TEST_F(CommandJobTest, AsSystemALogOnAShareIsABadCommandLine) {
    struct ShareCase {
        const char *what;
        bool system;
        std::vector<std::string> arguments;
        int exitCode;
    };
    const auto log = [](const std::string &path) {
        return std::vector<std::string>{"/quiet", "/path", Db, "/log", path};
    };
    const ShareCase cases[] = {
        {"a share", true, log("\\\\server\\share\\t.log"), 87},
        {"a share, \\\\?\\UNC\\", true, log("\\\\?\\UNC\\server\\share\\t.log"), 87},
        {"a share, \\\\.\\unc\\", true, log("\\\\.\\unc\\server\\share\\t.log"), 87},
        {"a mapped drive", true, log("N:\\Logs\\t.log"), 87},
        {"a mapped drive, \\\\?\\", true, log("\\\\?\\n:\\Logs\\t.log"), 87},
        {"every user", true, {"/quiet", "/allusers", "/log", "\\\\server\\share\\t.log"}, 87},
        {"a local drive", true, log("C:\\Logs\\t.log"), 0},
        {"a local drive, \\\\?\\", true, log("\\\\?\\C:\\Logs\\t.log"), 0},
        {"an administrator's run on a share", false, log("\\\\server\\share\\t.log"), 0},
    };
    for (const ShareCase &c : cases) {
        FakeServices fresh;
        FakeUserProfiles users;
        FakeRunOutput out;
        fresh.files.AddFile(Db);
        fresh.files.networkDrives.insert("N:\\");
        fresh.application.elevated = true;
        fresh.application.system = c.system;
        const ProgramSettingsLifetime lifetime;
        EXPECT_EQ(c.exitCode, RunCommand(fresh.Services(), users, out,
                                         ParseCommandLine(c.arguments), "Torvane"))
            << c.what;
        const std::string &path = c.arguments.back();
        if (c.exitCode == 0) {
            EXPECT_EQ(path, out.logPath) << c.what;
            continue;
        }
        EXPECT_FALSE(out.logPath.has_value()) << c.what;
        EXPECT_EQ(std::vector<std::string>{Db}, fresh.files.Names()) << c.what;
        EXPECT_TRUE(users.events.empty()) << c.what;
        ASSERT_FALSE(out.lines.empty()) << c.what;
        EXPECT_EQ("Nothing touched: the log " + path +
                      " is on a network share, which a run as System reaches as this "
                      "computer's account: log to a local folder, such as "
                      "%SystemRoot%\\Logs\\Torvane. Error 87: System text of 87.",
                  out.lines[0])
            << c.what;
    }
}

TEST_F(CommandJobTest, ALogBesideTheDatabaseIsOpenedAsPrivilegedAsTheRunIs) {
    const std::string log = "\\\\localhost\\d$\\Data\\QvxData.log:log";
    for (const bool elevated : {false, true}) {
        FakeServices fresh;
        FakeRunOutput out;
        fresh.files.AddFile(Db);
        fresh.files.folderSpellings["\\\\localhost\\d$\\Data"] = "D:\\Data";
        fresh.application.elevated = elevated;
        const ProgramSettingsLifetime lifetime;
        EXPECT_EQ(0, RunCommand(fresh.Services(), profiles, out,
                                ParseCommandLine({"/quiet", "/path", Db, "/log", log}), "Torvane"));
        EXPECT_EQ(log, out.logPath);
        EXPECT_EQ(elevated, out.logPrivileged);
    }
}

TEST_F(CommandJobTest, ALineTheLogCannotTakeIsNeverSilent) {
    fakes.files.AddFile(Db);
    output.logRoom = 0; // a full disk
    EXPECT_EQ(Win32Code::OpenFailed, Run({"/quiet", "/path", Db, "/log", "C:\\t.log"}));
    EXPECT_EQ(std::vector<std::string>{Renamed}, Files()) << "the job itself was done";
    ASSERT_EQ(2u, output.lines.size());
    EXPECT_EQ("The log C:\\t.log lacks lines of this run: they could not be written to it.",
              output.lines[1]);

    // A failed job keeps its own code.
    FakeRunOutput full;
    full.logRoom = 0;
    const ProgramSettingsLifetime lifetime;
    EXPECT_EQ(Win32Code::FileNotFound,
              RunCommand(fakes.Services(), profiles, full,
                         ParseCommandLine({"/quiet", "/path", "D:\\Gone.mdb", "/log", "t.log"}),
                         "Torvane"));
}

TEST_F(CommandJobTest, QuietUsageNeverWaitsForAClick) {
    output.console = false;
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{"/quiet", "/?"}, std::vector<std::string>{"/?", "/quiet"}}) {
        EXPECT_EQ(0, Run(arguments));
    }
    EXPECT_EQ(87, Run({"/?", "/quiet", "/bogus"}));
    EXPECT_EQ(87, Run({"/allusers", "/quiet", "/quiet"}));
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

TEST_F(CommandJobTest, EveryLineNamesFullPaths) {
    fakes.files.currentFolder = "D:\\Data";
    fakes.files.AddFile(Db);
    EXPECT_EQ(0, Run({"/quiet", "/path", "QvxData.mdb"}));
    EXPECT_EQ(std::vector<std::string>{"Renamed " + Db + " to " + Renamed + "."}, output.lines);
}

TEST_F(CommandJobTest, AWildcardIs123InBothDirections) {
    fakes.files.AddFile(Db);
    fakes.files.AddFile(Renamed);
    for (const char *command : {"/quiet", "/restore"}) {
        output.lines.clear();
        const std::vector<std::string> arguments =
            command == std::string("/quiet")
                ? std::vector<std::string>{"/quiet", "/path", "D:\\Data\\Q*"}
                : std::vector<std::string>{"/restore", "/quiet", "/path", "D:\\Data\\Q*"};
        EXPECT_EQ(Win32Code::InvalidName, Run(arguments));
        EXPECT_TRUE(fakes.files.renames.empty());
        ASSERT_EQ(1u, output.lines.size());
        EXPECT_EQ("Nothing changed: D:\\Data\\Q* holds a wildcard (* or ?), so it names no one "
                  "file. Error 123: System text of 123.",
                  output.lines[0]);
    }
}

TEST_F(CommandJobTest, WhatTheExistenceTestDoesNotCountIsNamedInTheLine) {
    fakes.files.others[Db] = PathKind::HiddenFile;
    EXPECT_EQ(2, Run({"/quiet", "/path", Db}));
    EXPECT_EQ(
        std::vector<std::string>{"Nothing to do: neither " + Db + " nor " + Renamed + " exists; " +
                                 Db + " is a hidden file: not renamed. Error 2: System text of 2."},
        output.lines);

    output.lines.clear();
    fakes.files.AddFile(Renamed);
    fakes.files.others[Db] = PathKind::SystemFile;
    EXPECT_EQ(0, Run({"/quiet", "/path", Db}));
    EXPECT_EQ(std::vector<std::string>{"Nothing to do: " + Renamed + " exists and " + Db +
                                       " does not (already renamed; " + Db +
                                       " is a system file: not renamed)."},
              output.lines);
}

// Runs started together on one database: each answers from the state it
// finds at the end, not from what it saw before another run moved the file.
TEST_F(CommandJobTest, ARunThatLosesTheRaceAnswersFromTheStateItFinds) {
    // Another run renames the file between this run's look and its rename.
    fakes.files.AddFile(Db);
    fakes.files.beforeOpen = [&](const std::string &) {
        fakes.files.beforeOpen = nullptr;
        fakes.files.files.erase(Db);
        fakes.files.AddFile(Renamed);
    };
    EXPECT_EQ(0, Run({"/quiet", "/path", Db}));
    EXPECT_EQ(std::vector<std::string>{"Nothing to do: " + Renamed + " exists and " + Db +
                                       " does not (already renamed)."},
              output.lines);

    // Another run renames it between the two existence tests: both seem there.
    FakeServices both;
    FakeRunOutput bothOutput;
    both.files.AddFile(Db);
    both.files.beforeSearch = [&](const std::string &path) {
        if (path == Renamed && both.files.files.count(Db) != 0) {
            both.files.files.erase(Db);
            both.files.AddFile(Renamed);
        }
    };
    const ProgramSettingsLifetime lifetime;
    EXPECT_EQ(0, RunCommand(both.Services(), profiles, bothOutput,
                            ParseCommandLine({"/quiet", "/path", Db}), "Torvane"));

    // An undo puts the file back between the two tests: neither seems there.
    FakeServices neither;
    FakeRunOutput neitherOutput;
    neither.files.AddFile(Renamed);
    bool restored = false;
    neither.files.beforeSearch = [&](const std::string &path) {
        if (path == Renamed && !restored && neither.files.searched.size() == 2) {
            restored = true;
            neither.files.files.erase(Renamed);
            neither.files.AddFile(Db);
        }
    };
    EXPECT_EQ(0, RunCommand(neither.Services(), profiles, neitherOutput,
                            ParseCommandLine({"/quiet", "/path", Db}), "Torvane"));
    EXPECT_EQ(std::vector<std::string>{"Renamed " + Db + " to " + Renamed + "."},
              neitherOutput.lines);
}

} // namespace
