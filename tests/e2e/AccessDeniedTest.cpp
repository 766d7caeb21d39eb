// A rename the system refuses for want of rights (ERROR_ACCESS_DENIED), in
// a folder that tests/e2e/run-read-only mounts read-only and names in
// TORVANE_READONLY_FOLDER, with a database in it. Elsewhere these cases
// are skipped: as root, nothing else makes Wine refuse a rename.

#include "E2eTest.h"
#include "QuietRun.h"
#include "UserInput.h"
#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"
#include "ui/win32/ControlIds.h"

#include <cstdlib>

namespace {

class AccessDeniedTest : public E2eTest {
protected:
    void SetUp() override {
        const char *folder = std::getenv("TORVANE_READONLY_FOLDER");
        if (folder == nullptr) {
            GTEST_SKIP() << "run by tests/e2e/run-read-only only";
        }
        path_ = Widen(folder) + L"\\QvxData.mdb";
        ASSERT_TRUE(Exists(path_)) << Narrow(path_);
        bytes_ = ReadFile(path_);
    }
    void ExpectNothingChanged() const { ExpectUntouched(path_, bytes_); }

    std::wstring path_;
    std::string bytes_;
};

TEST_F(AccessDeniedTest, QuietEndsWith5AndChangesNothing) {
    const QuietRun run = RunTorvane({L"/quiet", L"/path", path_});
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(". Error 5: ")) << run.output;
    EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);
    ExpectNothingChanged();
}

// The window's report asks whether to try again as administrator.
ShownMessage ClickRenameAndExpectTheOffer(const TorvaneProcess &torvane) {
    Click(torvane.Control("cmdRename"));
    const ShownMessage offer = torvane.WaitForMessageBox();
    EXPECT_EQ(MessageTitle, offer.title);
    const std::wstring heading = L"Error 5:\r\n\r\n";
    EXPECT_EQ(heading, offer.text.substr(0, heading.size())) << Narrow(offer.text);
    EXPECT_NE(std::wstring::npos,
              offer.text.find(L"\r\n\r\nYou'll need to provide administrator permission to "
                              L"rename this file. Try again as administrator?"))
        << Narrow(offer.text);
    EXPECT_NE(nullptr, GetDlgItem(offer.window, IDYES));
    EXPECT_NE(nullptr, GetDlgItem(offer.window, IDNO));
    return offer;
}

// Started as Windows starts an administrator's programs: not elevated.
StartOptions NotElevated(const std::wstring &path) {
    return StartOptions{{L"/path", path}, std::nullopt, true};
}

TEST_F(AccessDeniedTest, NoToTheOfferEndsWithTheFailureCode) {
    TorvaneProcess torvane(NotElevated(path_));
    ASSERT_FALSE(torvane.Elevated());
    const ShownMessage offer = ClickRenameAndExpectTheOffer(torvane);
    PostMessageW(GetDlgItem(offer.window, IDNO), BM_CLICK, 0, 0);
    EXPECT_EQ(1U, torvane.WaitForExit());
    ExpectNothingChanged();
}

TEST_F(AccessDeniedTest, YesStartsTheProgramElevatedOnTheSamePath) {
    TorvaneProcess torvane(NotElevated(path_));
    const ShownMessage offer = ClickRenameAndExpectTheOffer(torvane);
    PostMessageW(GetDlgItem(offer.window, IDYES), BM_CLICK, 0, 0);
    EXPECT_EQ(1U, torvane.WaitForExit());

    // Windows would first ask for consent, which no test can give, and the
    // new instance would run elevated. Wine starts a "runas" program at
    // once, but with the caller's own limited token.
    HWND again = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        again = FindWindowW(nullptr, MainWindowCaption);
        return again != nullptr && IsWindowVisible(again);
    })) << "no second window";
    DWORD id = 0;
    GetWindowThreadProcessId(again, &id);
    const unique_handle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
    ASSERT_TRUE(process);
    EXPECT_NE(torvane.ProcessId(), id);
    EXPECT_FALSE(ProcessElevation(process.get()).value_or(true)) << "Wine now elevates runas";
    EXPECT_EQ(path_, TextOf(GetDlgItem(again, ControlIdOf("txtDatabaseFile"))));
    PostMessageW(again, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.get(), StepTimeoutMs));
    ExpectNothingChanged();
}

TEST_F(AccessDeniedTest, ElevatedTheReportIsAsAlways) {
    TorvaneProcess torvane({L"/path", path_});
    ASSERT_TRUE(torvane.Elevated()) << "the driver runs elevated under Wine as root";
    Click(torvane.Control("cmdRename"));
    const ShownMessage message = torvane.WaitForMessageBox();
    EXPECT_EQ(MessageTitle, message.title);
    EXPECT_EQ(L"Error 5:\r\n\r\n", message.text.substr(0, 12));
    EXPECT_EQ(std::wstring::npos, message.text.find(L"administrator")) << Narrow(message.text);
    torvane.Acknowledge(message);
    EXPECT_EQ(1U, torvane.WaitForExit());
    ExpectNothingChanged();
}

} // namespace
