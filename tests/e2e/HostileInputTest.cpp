// Input meant to mislead: a stored path whose ANSI form names another file,
// text the program's UTF-8 cannot carry as it stands, and a click that
// arrives while the program is still answering the last one.

#include "E2eTest.h"
#include "UserInput.h"
#include "Wait.h"
#include "WindowQueries.h"

namespace {

struct LookAlikeCase {
    const char *name;
    const wchar_t *stored;    // in the test's folder, as a Unicode program stored it
    const wchar_t *lookAlike; // what its ANSI form names
};

const LookAlikeCase LookAlikeCases[] = {
    {"FullwidthBackslash", L"old\uFF3CQvxData.mdb", L"old\\QvxData.mdb"},
    {"Macron", L"QvxD\u0101t\u0101.mdb", L"QvxData.mdb"},
};

class LookAlikeTest : public E2eTest, public ::testing::WithParamInterface<LookAlikeCase> {};

TEST_P(LookAlikeTest, StoredPathOutsideTheCodePageNeverNamesAnotherFile) {
    CreateDirectoryW((folder_ / L"old").c_str(), nullptr);
    const std::wstring other = MakeFile(GetParam().lookAlike);
    setting_.Store(folder_ / GetParam().stored);
    TorvaneProcess torvane;

    EXPECT_EQ(L"", DatabaseText(torvane));
    Click(torvane.Control("cmdCancel"));
    EXPECT_EQ(0U, torvane.WaitForExit());
    ExpectUntouched(other);
}

INSTANTIATE_TEST_SUITE_P(With, LookAlikeTest, ::testing::ValuesIn(LookAlikeCases), CaseName());

using TextTest = E2eTest;

TEST_F(TextTest, LoneSurrogateIsTextLikeAnyOther) {
    const std::wstring typed = folder_ / L"Qvx\xD800.mdb";
    TorvaneProcess torvane;

    TypeText(torvane.Control("txtDatabaseFile"), typed);
    Click(torvane.Control("cmdRename"));

    ExpectMessage(
        torvane, typed + L" does not exist.  Click the browse button to locate the database file.");
    ExpectStillOpen(torvane, typed);
}

using ReentryTest = E2eTest;

TEST_F(ReentryTest, ClickArrivingInsideTheRenameMessageStartsNothing) {
    const std::wstring path = MakeFile(L"QvxData.mdb");
    TorvaneProcess torvane;
    TypeText(torvane.Control("txtDatabaseFile"), path);
    Click(torvane.Control("cmdRename"));
    const ShownMessage renamed = torvane.WaitForMessageBox();

    // As an automation tool clicks: posted, so the message box's own loop
    // dispatches it.
    Click(torvane.Control("cmdRename"));
    EXPECT_FALSE(WaitUntil([&] { return DialogsOf(torvane.ProcessId()).size() > 1; }, 1000))
        << Describe(DialogsOf(torvane.ProcessId()));

    EXPECT_EQ(L"File has been renamed to:\r\n\r\n" + path + L".Advanced", renamed.text);
    torvane.Acknowledge(renamed);
    EXPECT_EQ(0U, torvane.WaitForExit());
    EXPECT_EQ(SampleBytes, ReadFile(path + L".Advanced"));
}

} // namespace
