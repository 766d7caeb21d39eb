// The log of a command-line run.

#include "platform/win32/Win32Output.h"
#include "TempFolder.h"
#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

// "2026-12-08T22:36:05+01:00 "
constexpr char Stamp[] = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d )";

TEST(Win32Output, AppendToLogAddsTimeStampedLinesAfterWhatIsThere) {
    const TempFolder folder(L"torvane-output-tests");
    const std::wstring log = folder / L"Torvane.log";
    WriteFile(log, "an earlier run\r\n");
    {
        Win32Output output;
        output.OpenLog(Narrow(log), true);
        EXPECT_TRUE(output.AppendToLog("Renamed C:\\Data\\QvxData.mdb."));
        EXPECT_TRUE(output.AppendToLog("Donn\xC3\xA9"
                                       "es"));
    }

    const std::string expected = std::string("an earlier run\\r\\n") + Stamp +
                                 R"(Renamed C:\\Data\\QvxData\.mdb\.\r\n)" + Stamp +
                                 "Donn\xC3\xA9" + R"(es\r\n)";
    const std::string written = ReadFile(log);
    EXPECT_TRUE(std::regex_match(written, std::regex(expected))) << written;
}

TEST(Win32Output, WriteLineLeavesTheLogAlone) {
    const TempFolder folder(L"torvane-output-tests");
    const std::wstring log = folder / L"Torvane.log";
    {
        Win32Output output;
        output.OpenLog(Narrow(log), false);
        output.WriteLine("to the console only");
    }
    EXPECT_EQ("", ReadFile(log));
}

TEST(Win32Output, AppendToLogWithoutALogFails) {
    Win32Output output;
    EXPECT_FALSE(output.AppendToLog("nowhere to go"));
}

TEST(Win32Output, ALogsMissingFoldersAreMadePrivilegedOrNot) {
    for (const bool privileged : {false, true}) {
        const TempFolder folder(L"torvane-output-tests");
        {
            Win32Output output;
            output.OpenLog(Narrow(folder / L"Torvane\\Logs\\Torvane.log"), privileged);
            EXPECT_TRUE(output.AppendToLog("a line"));
        }
        EXPECT_NE(std::string::npos,
                  ReadFile(folder / L"Torvane\\Logs\\Torvane.log").find(" a line"));
    }
}

TEST(Win32Output, ALogThatCannotBeOpenedIsAnError) {
    const TempFolder folder(L"torvane-output-tests");
    WriteFile(folder / L"file", "not a folder");
    Win32Output output;
    try {
        output.OpenLog(Narrow(folder / L"file\\Torvane.log"), true);
        FAIL() << "a log below a file was opened";
    } catch (const AppError &error) {
        EXPECT_EQ(ErrorCategory::Win32, error.Category());
        EXPECT_NE(0, error.Number());
    }
}

} // namespace
