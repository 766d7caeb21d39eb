// The command line: each exit code of /quiet and /restore with the files
// checked before and after, no window at any moment of a quiet run, the
// log, /path in the window, and usage.

#include "E2eTest.h"
#include "FolderContents.h"
#include "QuietRun.h"
#include "UserInput.h"
#include "WindowQueries.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <regex>

namespace {

enum class Job { SetAside, Restore };
// Which of the two names hold a file before the run, and which is held open.
enum Files : unsigned { Neither = 0, AtPath = 1, AtRenamed = 2, Both = 3 };

struct JobCase {
    const char *name;
    Job job;
    unsigned files;
    unsigned heldOpen;
    DWORD exitCode;
    // The line starts with this; the paths follow.
    const char *says;
};

const JobCase JobCases[] = {
    {"Renames", Job::SetAside, AtPath, Neither, 0, "Renamed "},
    {"AlreadyRenamed", Job::SetAside, AtRenamed, Neither, 0, "Nothing to do: "},
    {"NeitherFile", Job::SetAside, Neither, Neither, ERROR_FILE_NOT_FOUND, "Nothing to do: "},
    {"BothFiles", Job::SetAside, Both, Neither, ERROR_ALREADY_EXISTS, "Nothing changed: "},
    {"InUse", Job::SetAside, AtPath, AtPath, ERROR_SHARING_VIOLATION, "Nothing changed: "},
    {"Restores", Job::Restore, AtRenamed, Neither, 0, "Restored "},
    {"AlreadyRestored", Job::Restore, AtPath, Neither, 0, "Nothing to do: "},
    {"RestoreNeitherFile", Job::Restore, Neither, Neither, ERROR_FILE_NOT_FOUND, "Nothing to do: "},
    {"RestoreBothFiles", Job::Restore, Both, Neither, ERROR_ALREADY_EXISTS, "Nothing changed: "},
    {"RestoreInUse", Job::Restore, AtRenamed, AtRenamed, ERROR_SHARING_VIOLATION,
     "Nothing changed: "},
};

class QuietJobTest : public E2eTest, public ::testing::WithParamInterface<JobCase> {};

unique_hfile HoldOpen(const std::wstring &path) {
    // Without FILE_SHARE_DELETE, as a running database engine holds it.
    return unique_hfile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST_P(QuietJobTest, EndsWithItsCodeAndTouchesOnlyWhatItRenames) {
    const JobCase &c = GetParam();
    const std::wstring path = folder_ / L"Qvx Data.mdb";
    const std::wstring renamed = path + L".Advanced";
    if (c.files & AtPath) {
        WriteFile(path, SampleBytes);
    }
    if (c.files & AtRenamed) {
        WriteFile(renamed, "earlier copy");
    }
    const unique_hfile held =
        c.heldOpen == Neither ? unique_hfile() : HoldOpen(c.heldOpen == AtPath ? path : renamed);
    FolderContents expected = ContentsOf(folder_.Path());
    const std::wstring from = c.job == Job::SetAside ? L"Qvx Data.mdb" : L"Qvx Data.mdb.Advanced";
    const std::wstring to = c.job == Job::SetAside ? L"Qvx Data.mdb.Advanced" : L"Qvx Data.mdb";
    if (c.exitCode == 0 && expected.count(from) != 0) {
        expected[to] = expected[from];
        expected.erase(from);
    }
    const StoredValue setting = DatabaseSetting::Read();

    const QuietRun run = c.job == Job::SetAside
                             ? RunTorvane({L"/quiet", L"/path", path})
                             : RunTorvane({L"-Restore", L"-QUIET", L"-Path", path});

    EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
    EXPECT_EQ(expected, ContentsOf(folder_.Path()));
    EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);
    EXPECT_EQ(setting, DatabaseSetting::Read());
    // One line naming both full paths, and the error number on failure.
    EXPECT_EQ(0U, run.output.find(c.says)) << run.output;
    EXPECT_EQ(run.output.size() - 2, run.output.find("\r\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(Narrow(path))) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(Narrow(renamed))) << run.output;
    if (c.exitCode != 0) {
        EXPECT_NE(std::string::npos,
                  run.output.find(". Error " + std::to_string(c.exitCode) + ": "))
            << run.output;
    }
}

INSTANTIATE_TEST_SUITE_P(When, QuietJobTest, ::testing::ValuesIn(JobCases), CaseName());

using CommandLineTest = E2eTest;

TEST_F(CommandLineTest, QuietFindsTheDatabaseWhereTheWindowDoes) {
    const std::wstring stored = MakeFile(L"Stored.mdb");
    setting_.Store(stored);
    EXPECT_EQ(0U, RunTorvane({L"/quiet"}).exitCode);
    EXPECT_FALSE(Exists(stored));
    EXPECT_EQ(SampleBytes, ReadFile(stored + L".Advanced"));

    setting_.Remove();
    defaultDatabase_.Create(SampleBytes);
    EXPECT_EQ(0U, RunTorvane({L"/quiet"}).exitCode);
    EXPECT_EQ(SampleBytes, ReadFile(DefaultDatabase::RenamedPath));
    EXPECT_EQ(0U, RunTorvane({L"/restore", L"/quiet"}).exitCode);
    ExpectUntouched(DefaultDatabase::Path);
}

TEST_F(CommandLineTest, ABadCommandLineTouchesNothingAndEndsWith87) {
    const std::wstring path = MakeFile(L"QvxData.mdb");
    const FolderContents before = ContentsOf(folder_.Path());
    for (const std::vector<std::wstring> &arguments :
         {std::vector<std::wstring>{L"/quiet", L"/path", path, L"/bogus"},
          std::vector<std::wstring>{L"/quiet", L"/path"},
          std::vector<std::wstring>{L"/quiet", L"/log"}}) {
        const QuietRun run = RunTorvane(arguments);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), run.exitCode) << run.output;
        EXPECT_EQ(0U, run.output.find("Nothing touched: ")) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("Torvane.exe /quiet [/path <file>]"))
            << "usage follows";
        EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);
    }
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

TEST_F(CommandLineTest, AnyOtherFailureEndsWithItsWin32Code) {
    MakeFile(L"QvxData.mdb");
    const FolderContents before = ContentsOf(folder_.Path());
    // The existence test matches the pattern; the rename cannot take it.
    const QuietRun run = RunTorvane({L"/quiet", L"/path", folder_ / L"Qvx*.mdb"});
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), run.exitCode) << run.output;
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

TEST_F(CommandLineTest, TheLogGainsOneTimeStampedLinePerRunAndKeepsWhatItHad) {
    const std::wstring path = MakeFile(L"QvxData.mdb");
    const std::wstring log = folder_ / L"Torvane.log";
    WriteFile(log, "an earlier line\r\n");
    EXPECT_EQ(0U, RunTorvane({L"/quiet", L"/path", path, L"/log", log}).exitCode);
    EXPECT_EQ(0U, RunTorvane({L"/quiet", L"/log", log, L"/path", path}).exitCode);

    const std::string stamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d )";
    const std::regex expected("an earlier line\r\n" + stamp + "Renamed [^\r\n]+\r\n" + stamp +
                              "Nothing to do: [^\r\n]+\\(already renamed\\)\\.\r\n");
    const std::string contents = ReadFile(log);
    EXPECT_TRUE(std::regex_match(contents, expected)) << contents;
    EXPECT_NE(std::string::npos, contents.find(Narrow(path))) << contents;
}

TEST_F(CommandLineTest, RestoreWithoutQuietShowsTheOutcomeInOneMessage) {
    const std::wstring path = folder_ / L"QvxData.mdb";
    WriteFile(path + L".Advanced", SampleBytes);
    TorvaneProcess restore({L"/restore", L"/path", path}, TorvaneProcess::Expect::Nothing);
    ExpectMessage(restore, L"Restored " + path + L".Advanced to " + path + L".");
    EXPECT_EQ(0U, restore.WaitForExit());
    ExpectUntouched(path);

    TorvaneProcess again({L"/restore", L"/path", folder_ / L"Gone.mdb"},
                         TorvaneProcess::Expect::Nothing);
    const ShownMessage message = again.WaitForMessageBox();
    EXPECT_EQ(MessageTitle, message.title);
    EXPECT_EQ(0U, message.text.find(L"Nothing to do: neither ")) << Narrow(message.text);
    again.Acknowledge(message);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), again.WaitForExit());
}

TEST_F(CommandLineTest, PathOpensTheWindowOnTheFileUnderTheLoadsExistenceTest) {
    setting_.Store(MakeFile(L"Stored.mdb"));
    const std::wstring given = MakeFile(L"Given.mdb");
    {
        TorvaneProcess torvane({L"/path", given});
        EXPECT_EQ(given, DatabaseText(torvane));
        Click(torvane.Control("cmdRename"));
        ExpectMessage(torvane, L"File has been renamed to:\r\n\r\n" + given + L".Advanced");
        EXPECT_EQ(0U, torvane.WaitForExit());
    }
    TorvaneProcess missing({L"/PATH", folder_ / L"Missing.mdb"});
    EXPECT_EQ(L"", DatabaseText(missing));
}

TEST_F(CommandLineTest, UsageGoesToStandardOutputWithCodeZero) {
    for (const wchar_t *option : {L"/?", L"-help"}) {
        const QuietRun run = RunTorvane({option});
        EXPECT_EQ(0U, run.exitCode);
        EXPECT_EQ(0U, run.output.find("Torvane.exe                   the window")) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("; 87 bad command line;")) << run.output;
        EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);
    }
}

TEST_F(CommandLineTest, UsageWithNoConsoleIsShownInAMessage) {
    // No standard output, and this driver has no console to attach to.
    TorvaneProcess usage(StartOptions{{L"/?"}, HANDLE{}, false}, TorvaneProcess::Expect::Nothing);
    const ShownMessage message = usage.WaitForMessageBox();
    EXPECT_EQ(MessageTitle, message.title);
    EXPECT_EQ(0U, message.text.find(L"Torvane.exe                   the window"));
    usage.Acknowledge(message);
    EXPECT_EQ(0U, usage.WaitForExit());
}

} // namespace
