#include "E2eTest.h"

#include "WindowQueries.h"
#include "platform/win32/WideText.h"

#include <algorithm>

namespace {

const std::wstring RunFolderName = L"torvane-e2e";

// A NUL, a line break, an end-of-file mark and bytes outside ASCII.
constexpr char Sample[] = "Standard Jet DB\0\r\n\x1a\xff\x80";

// The running test's full name as a folder name ("Suite-Test-Case").
std::wstring TestFolderName() {
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return RunFolderName + L"\\" + Widen(name);
}

} // namespace

const std::string E2eTest::SampleBytes(Sample, sizeof Sample - 1);

E2eTest::E2eTest() : runFolder_(RunFolderName), folder_(TestFolderName()) { setting_.Remove(); }

std::wstring E2eTest::MakeFile(const std::wstring &name, const std::string &bytes,
                               DWORD attributes) const {
    std::wstring path = folder_ / name;
    WriteFile(path, bytes, attributes);
    return path;
}

void E2eTest::ExpectMessage(const TorvaneProcess &torvane, const std::wstring &text) const {
    const ShownMessage message = torvane.WaitForMessageBox();
    EXPECT_EQ(MessageTitle, message.title);
    EXPECT_EQ(text, message.text);
    torvane.Acknowledge(message);
}

void E2eTest::ExpectStillOpen(const TorvaneProcess &torvane, const std::wstring &text) const {
    // Answering a message means the program is back in its message loop.
    EXPECT_EQ(text, DatabaseText(torvane));
    EXPECT_TRUE(torvane.Running());
    EXPECT_TRUE(IsWindowVisible(torvane.Window()));
    EXPECT_EQ(0U, DialogsOf(torvane.ProcessId()).size())
        << Describe(DialogsOf(torvane.ProcessId()));
}

void E2eTest::ExpectUntouched(const std::wstring &path, const std::string &bytes) const {
    ASSERT_TRUE(Exists(path)) << "gone: " << ::testing::PrintToString(path);
    EXPECT_EQ(bytes, ReadFile(path));
    EXPECT_FALSE(Exists(path + L".Advanced"));
}

std::wstring E2eTest::DatabaseText(const TorvaneProcess &torvane) {
    return TextOf(torvane.Control("txtDatabaseFile"));
}
