#include "core/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    std::vector<std::string> arguments;
    Command command;
    bool quiet;
    std::optional<std::string> path;
    std::optional<std::string> log;
    bool allUsers = false;
    bool check = false;
};

const std::string Db = "C:\\Data Files\\QvxData.mdb";
const std::string Log = "C:\\Temp\\Torvane.log";

TEST(CommandLineTest, ReadsEachCommandWithEitherPrefixInAnyCase) {
    const ParseCase cases[] = {
        {{}, Command::Window, false, std::nullopt, std::nullopt},
        {{"/path", Db}, Command::Window, false, Db, std::nullopt},
        {{"-PATH", Db}, Command::Window, false, Db, std::nullopt},
        {{"/quiet"}, Command::SetAside, true, std::nullopt, std::nullopt},
        {{"-Quiet"}, Command::SetAside, true, std::nullopt, std::nullopt},
        {{"/QUIET", "/path", Db, "/log", Log}, Command::SetAside, true, Db, Log},
        {{"/log", Log, "-quiet"}, Command::SetAside, true, std::nullopt, Log},
        {{"/restore"}, Command::Restore, false, std::nullopt, std::nullopt},
        {{"-RESTORE", "/Quiet"}, Command::Restore, true, std::nullopt, std::nullopt},
        {{"/quiet", "/restore", "-Path", Db, "-LOG", Log}, Command::Restore, true, Db, Log},
        {{"/restore", "/log", Log}, Command::Restore, false, std::nullopt, Log},
        {{"/?"}, Command::Usage, false, std::nullopt, std::nullopt},
        {{"-?"}, Command::Usage, false, std::nullopt, std::nullopt},
        {{"/help"}, Command::Usage, false, std::nullopt, std::nullopt},
        {{"-HELP"}, Command::Usage, false, std::nullopt, std::nullopt},
        // Usage asked for with /quiet is quiet too: it never waits for a click.
        {{"/quiet", "/?"}, Command::Usage, true, std::nullopt, std::nullopt},
        {{"/?", "/QUIET"}, Command::Usage, true, std::nullopt, std::nullopt},
        // The argument after /path is the path, whatever it looks like.
        {{"/path", "-"}, Command::Window, false, "-", std::nullopt},
        {{"/path", "/x.mdb"}, Command::Window, false, "/x.mdb", std::nullopt},
        {{"/quiet", "/allusers"}, Command::SetAside, true, std::nullopt, std::nullopt, true},
        {{"-ALLUSERS", "/restore", "/quiet", "/log", Log},
         Command::Restore,
         true,
         std::nullopt,
         Log,
         true},
        // A check implies quiet, with or without it, for every user too.
        {{"/check"}, Command::SetAside, true, std::nullopt, std::nullopt, false, true},
        {{"-CHECK", "/quiet", "/restore"},
         Command::Restore,
         true,
         std::nullopt,
         std::nullopt,
         false,
         true},
        {{"/check", "/allusers", "/log", Log},
         Command::SetAside,
         true,
         std::nullopt,
         Log,
         true,
         true},
    };
    for (const ParseCase &c : cases) {
        const std::string what = ::testing::PrintToString(c.arguments);
        const CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(c.command, parsed.command) << what << ": " << parsed.problem;
        EXPECT_EQ(c.quiet, parsed.quiet) << what;
        EXPECT_EQ(c.path, parsed.path) << what;
        EXPECT_EQ(c.log, parsed.log) << what;
        EXPECT_EQ(c.allUsers, parsed.allUsers) << what;
        EXPECT_EQ(c.check, parsed.check) << what;
        EXPECT_EQ("", parsed.problem) << what;
    }
}

struct InvalidCase {
    std::vector<std::string> arguments;
    std::string problem;
    bool quiet;
};

TEST(CommandLineTest, RefusesWhatTheContractDoesNotName) {
    const InvalidCase cases[] = {
        {{"/bogus"}, "unknown option: /bogus", false},
        {{"/quiet", "/bogus"}, "unknown option: /bogus", true},
        {{"QvxData.mdb"}, "unknown option: QvxData.mdb", false},
        {{"quiet"}, "unknown option: quiet", false},
        {{"/"}, "unknown option: /", false},
        {{"/quiet:yes"}, "unknown option: /quiet:yes", false},
        {{"/path"}, "/path needs a file name after it", false},
        {{"/quiet", "/PATH"}, "/PATH needs a file name after it", true},
        {{"/path", ""}, "/path needs a file name after it", false},
        {{"/path", "/quiet"}, "/path needs a file name after it", true},
        {{"/quiet", "/log"}, "/log needs a file name after it", true},
        {{"/quiet", "/log", "-restore"}, "/log needs a file name after it", true},
        {{"/quiet", "/quiet"}, "/quiet is given twice", true},
        {{"/quiet", "/path", "a", "-path", "b"}, "-path is given twice", true},
        {{"/log", Log}, "/log needs /quiet or /restore", false},
        {{"/allusers"}, "/allusers needs /quiet", false},
        {{"/restore", "/allusers"}, "/allusers needs /quiet", false},
        {{"/quiet", "/allusers", "-AllUsers"}, "-AllUsers is given twice", true},
        {{"/bogus", "/?"}, "unknown option: /bogus", false},
        {{"/check", "/CHECK"}, "/CHECK is given twice", true},
    };
    for (const InvalidCase &c : cases) {
        const std::string what = ::testing::PrintToString(c.arguments);
        const CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(Command::Invalid, parsed.command) << what;
        EXPECT_EQ(c.problem, parsed.problem) << what;
        EXPECT_EQ(c.quiet, parsed.quiet) << what;
    }
}

TEST(CommandLineTest, WindowParametersQuoteThePathAsTheRuntimeSplitsIt) {
    EXPECT_EQ("/path \"C:\\Program Files\\Quorvex\\QvxData.mdb\"",
              WindowWithPathParameters("C:\\Program Files\\Quorvex\\QvxData.mdb"));
    // Backslashes before the closing quote would escape it.
    EXPECT_EQ("/path \"C:\\Data\\\\\"", WindowWithPathParameters("C:\\Data\\"));
    EXPECT_EQ("/path \"a\\\\\\\"b\"", WindowWithPathParameters("a\\\"b"));
}

TEST(CommandLineTest, UsageStatesEveryCommandAndExitCode) {
    const std::string usage(UsageText);
    for (const char *part :
         {"Torvane.exe /path <file>", "Torvane.exe /quiet [/path <file>] [/log <logfile>]",
          "Torvane.exe /quiet /allusers [/path <file>] [/log <logfile>]",
          "Torvane.exe /restore [/quiet] [/allusers] [/path <file>] [/log <logfile>]",
          "Torvane.exe /check [/restore] [/allusers] [/path <file>] [/log <logfile>]",
          "exit 1 when the run would rename a copy", "31 for 1", "/? (or /help)", "0 done",
          "; 2 no file", "; 183 files", "32 in use", "; 5 access denied", "; 87 bad command line",
          "110 the log", "740 /allusers"}) {
        EXPECT_NE(std::string::npos, usage.find(part)) << part;
    }
}

} // namespace
