// What a fleet meets: a log that names the database, /quiet with no console,
// a log that cannot be opened, relative paths, wildcards, hidden files, and
// runs that race on one database. Each answer is the state the run left.

#include "E2eTest.h"
#include "FolderContents.h"
#include "QuietRun.h"
#include "TestLink.h"
#include "Wait.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <regex>
#include <vector>

namespace {

using QuietAnswersTest = E2eTest;

struct LogCase {
    const char *name;
    bool restore;
    bool database; // the database exists before the run
    // The log, given the database's path.
    std::wstring (*log)(const std::wstring &database);
};

const LogCase LogCases[] = {
    {"TheDatabase", false, true, [](const std::wstring &db) { return db; }},
    {"TheDatabaseInAnotherCase", false, true,
     [](const std::wstring &db) {
         std::wstring upper = db;
         CharUpperW(upper.data());
         return upper;
     }},
    {"AHardLinkToTheDatabase", false, true,
     [](const std::wstring &db) {
         const std::wstring link = db.substr(0, db.rfind(L'\\')) + L"\\link.log";
         CreateHardLinkW(link.c_str(), db.c_str(), nullptr);
         return link;
     }},
    {"TheRenamedNameWhenRestoring", true, false,
     [](const std::wstring &db) { return db + L".Advanced"; }},
    {"TheRenamedNameWithNoDatabase", false, false,
     [](const std::wstring &db) { return db + L".Advanced"; }},
    {"TheDatabaseWithNoDatabase", false, false, [](const std::wstring &db) { return db; }},
    // Wine has no streams: this would create a file named so beside it.
    {"AStreamOfTheDatabase", false, true, [](const std::wstring &db) { return db + L":log"; }},
};

class LogNamesTheDatabaseTest : public E2eTest, public ::testing::WithParamInterface<LogCase> {};

TEST_P(LogNamesTheDatabaseTest, IsABadCommandLineThatTouchesAndCreatesNothing) {
    const LogCase &c = GetParam();
    const std::wstring db = folder_ / L"db.mdb";
    if (c.database) {
        WriteFile(db, SampleBytes);
    }
    if (c.restore) {
        WriteFile(db + L".Advanced", SampleBytes);
    }
    const std::wstring log = c.log(db);
    const FolderContents before = ContentsOf(folder_.Path());
    std::vector<std::wstring> arguments{L"/quiet", L"/path", db, L"/log", log};
    if (c.restore) {
        arguments.insert(arguments.begin(), L"/restore");
    }
    const QuietRun run = RunTorvane(arguments);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), run.exitCode) << run.output;
    EXPECT_EQ(0U, run.output.find("Nothing touched: the log ")) << run.output;
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

INSTANTIATE_TEST_SUITE_P(When, LogNamesTheDatabaseTest, ::testing::ValuesIn(LogCases), CaseName());

TEST_F(QuietAnswersTest, QuietNeverWaitsForAClickEvenWithNoConsole) {
    struct Case {
        std::vector<std::wstring> arguments;
        DWORD exitCode;
    };
    const Case cases[] = {
        {{L"/quiet", L"/?"}, 0},
        {{L"/?", L"/quiet"}, 0},
        {{L"/quiet", L"/bogus"}, ERROR_INVALID_PARAMETER},
        {{L"/quiet", L"/quiet"}, ERROR_INVALID_PARAMETER},
    };
    for (const Case &c : cases) {
        const QuietRun run = RunTorvaneWithoutConsole(c.arguments);
        EXPECT_EQ(c.exitCode, run.exitCode) << Narrow(c.arguments[1]);
        EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);
    }
}

unique_hfile HoldExclusively(const std::wstring &path) {
    return unique_hfile(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, 0, nullptr));
}

TEST_F(QuietAnswersTest, ALogThatCannotBeOpenedEndsWith110BeforeAnythingIsTouched) {
    const std::wstring db = MakeFile(L"db.mdb");
    CreateDirectoryW((folder_ / L"folder.log").c_str(), nullptr);
    // In a folder of its own, which the comparison below does not read.
    CreateDirectoryW((folder_ / L"busy").c_str(), nullptr);
    const unique_hfile held = HoldExclusively(folder_ / L"busy\\held.log");
    ASSERT_TRUE(held);
    const FolderContents before = ContentsOf(folder_.Path());
    for (const wchar_t *log : {L"folder.log", L"busy\\held.log"}) {
        const QuietRun run = RunTorvane({L"/quiet", L"/path", db, L"/log", folder_ / log});
        EXPECT_EQ(static_cast<DWORD>(ERROR_OPEN_FAILED), run.exitCode) << run.output;
        EXPECT_EQ(0U, run.output.find("Nothing changed: cannot open the log ")) << run.output;
        EXPECT_NE(std::string::npos, run.output.find(". Error 110: ")) << run.output;
    }
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

TEST_F(QuietAnswersTest, TheLogsFolderIsMadeWhenMissing) {
    const std::wstring db = MakeFile(L"db.mdb");
    const std::wstring log = folder_ / L"Torvane\\Logs\\Torvane.log";
    const QuietRun run = RunTorvane({L"/quiet", L"/path", db, L"/log", log});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, ReadFile(log).find(" Renamed " + Narrow(db)));
}

// Under Wine as root every run is elevated, so the log is placed as a
// privileged run places it.
TEST_F(QuietAnswersTest, AnElevatedRunsLogNeverGoesThroughALinkedFolder) {
    const std::wstring db = MakeFile(L"db.mdb");
    const std::wstring elsewhere = folder_ / L"elsewhere";
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    const TestLink link(folder_ / L"Logs", elsewhere, TestLink::Kind::Folder);
    const QuietRun run = RunTorvane({L"/quiet", L"/path", db, L"/log", link.Path() + L"\\t.log"});
    EXPECT_EQ(static_cast<DWORD>(ERROR_OPEN_FAILED), run.exitCode) << run.output;
    EXPECT_EQ(0U, run.output.find("Nothing changed: cannot open the log ")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(" leads through a link to ")) << run.output;
    EXPECT_TRUE(ContentsOf(elsewhere).empty());
    ExpectUntouched(db);
}

TEST_F(QuietAnswersTest, ASettingCannotForgeALineOfTheLog) {
    setting_.Store(folder_ / L"db.mdb\r\n2026-01-01T00:00:00+01:00 Renamed C:\\x.mdb\t" +
                   std::wstring(300, L'a') + L".mdb");
    const std::wstring log = folder_ / L"Torvane.log";
    const QuietRun run = RunTorvane({L"/quiet", L"/log", log});
    const std::string written = ReadFile(log);
    const std::regex line(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d [^\r\n]*\r\n)");
    const auto lines = std::distance(std::sregex_iterator(written.begin(), written.end(), line),
                                     std::sregex_iterator());
    EXPECT_GT(lines, 0);
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), lines) << run.output;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), lines) << written;
    EXPECT_NE(std::string::npos,
              written.find("db.mdb\\x0D\\x0A2026-01-01T00:00:00+01:00 Renamed C:\\x.mdb\\x09aaa"))
        << written;
    EXPECT_EQ(std::string::npos, written.find("\n2026-01-01T")) << "a forged line";
}

TEST_F(QuietAnswersTest, ARelativePathIsNamedInFull) {
    const std::wstring db = MakeFile(L"db.mdb");
    const QuietRun run = RunTorvane(
        StartOptions{{L"/quiet", L"/path", L"db.mdb"}, std::nullopt, false, folder_.Path()});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_EQ("Renamed " + Narrow(db) + " to " + Narrow(db) + ".Advanced.\r\n", run.output);
}

TEST_F(QuietAnswersTest, AWildcardIs123InBothDirections) {
    MakeFile(L"y.mdb");
    MakeFile(L"y.mdb.Advanced");
    const FolderContents before = ContentsOf(folder_.Path());
    for (const std::vector<std::wstring> &arguments :
         {std::vector<std::wstring>{L"/quiet", L"/path", folder_ / L"y*"},
          std::vector<std::wstring>{L"/restore", L"/quiet", L"/path", folder_ / L"y*"}}) {
        const QuietRun run = RunTorvane(arguments);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), run.exitCode) << run.output;
    }
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

TEST_F(QuietAnswersTest, AHiddenFileIsNamedForWhatItIs) {
    const std::wstring db = MakeFile(L"db.mdb", SampleBytes, FILE_ATTRIBUTE_HIDDEN);
    QuietRun run = RunTorvane({L"/quiet", L"/path", db});
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(Narrow(db) + " is a hidden file: not renamed"))
        << run.output;

    MakeFile(L"db.mdb.Advanced");
    run = RunTorvane({L"/quiet", L"/path", db});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("(already renamed; " + Narrow(db) +
                                                 " is a hidden file: not renamed)"))
        << run.output;
    EXPECT_EQ(SampleBytes, ReadFile(db));
}

TEST_F(QuietAnswersTest, RunsStartedTogetherAllAnswerFromTheStateTheyLeave) {
    const std::wstring db = MakeFile(L"db.mdb");
    std::vector<std::unique_ptr<ChildProcess>> runs;
    for (int i = 0; i < 10; ++i) {
        runs.push_back(std::make_unique<ChildProcess>(
            BuiltTorvane(), StartOptions{{L"/quiet", L"/path", db}, HANDLE{}, false}));
    }
    for (const std::unique_ptr<ChildProcess> &run : runs) {
        EXPECT_EQ(std::optional<DWORD>(0), run->WaitForExit(StepTimeoutMs));
    }
    const FolderContents expected{{L"db.mdb.Advanced", SampleBytes}};
    EXPECT_EQ(expected, ContentsOf(folder_.Path()));
}

} // namespace
