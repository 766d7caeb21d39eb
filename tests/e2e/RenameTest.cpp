// The Rename Database command: a rename that succeeds, the refusals that
// keep the window open, and the failures that end the program with nothing
// lost.

#include "E2eTest.h"
#include "FolderContents.h"
#include "UserInput.h"
#include "Wait.h"
#include "platform/win32/UniqueHandles.h"

namespace {

void ClickRename(const TorvaneProcess &torvane) { Click(torvane.Control("cmdRename")); }

// Enter, pressed after Tab has moved the focus on from cmdRename tabs times.
template <int tabs> void PressEnter(const TorvaneProcess &torvane) {
    HWND rename = torvane.Control("cmdRename");
    ASSERT_TRUE(WaitUntil([&] { return torvane.Focus() == rename; }))
        << "the focus is not on cmdRename at the start";
    for (int tab = 0; tab < tabs; ++tab) {
        HWND before = torvane.Focus();
        PressKey(before, VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return torvane.Focus() != before; })) << "Tab did nothing";
    }
    PressKey(torvane.Focus(), VK_RETURN);
}

// A chain of folders under folder whose path is at least length characters.
std::wstring DeepFolder(const std::wstring &folder, std::size_t length) {
    std::wstring path = folder;
    while (path.size() < length) {
        path += L"\\" + std::wstring(40, L'n');
        CreateDirectoryW(Extended(path).c_str(), nullptr);
    }
    return path;
}

struct SuccessCase {
    const char *name;
    // The path of the database to rename; makes the folders it needs.
    std::wstring (*make)(const TempFolder &folder);
    void (*rename)(const TorvaneProcess &torvane);
};

std::wstring PlainDatabase(const TempFolder &folder) { return folder / L"QvxData.mdb"; }

std::wstring NonAnsiDatabase(const TempFolder &folder) {
    CreateDirectoryW((folder / L"Donn\u00e9es").c_str(), nullptr);
    return folder / L"Donn\u00e9es\\\u30c7\u30fc\u30bf.mdb";
}

// Longer than MAX_PATH, the limit of the plain Windows file calls.
std::wstring LongPathDatabase(const TempFolder &folder) {
    return DeepFolder(folder.Path(), 290) + L"\\QvxData.mdb";
}

const SuccessCase SuccessCases[] = {
    {"Click", PlainDatabase, ClickRename},
    {"EnterOnTheButton", PlainDatabase, PressEnter<0>},
    {"EnterInTheTextBox", PlainDatabase, PressEnter<1>},
    {"NonAnsiPath", NonAnsiDatabase, ClickRename},
    {"PathLongerThanMaxPath", LongPathDatabase, ClickRename},
};

class RenameSuccessTest : public E2eTest, public ::testing::WithParamInterface<SuccessCase> {};

TEST_P(RenameSuccessTest, RenamesReportsAndEnds) {
    const std::wstring path = GetParam().make(folder_);
    WriteFile(path, SampleBytes);
    const std::wstring renamed = path + L".Advanced";
    const StoredValue setting = DatabaseSetting::Read();
    TorvaneProcess torvane;

    TypeText(torvane.Control("txtDatabaseFile"), path);
    GetParam().rename(torvane);

    ExpectMessage(torvane, L"File has been renamed to:\r\n\r\n" + renamed);
    EXPECT_EQ(0U, torvane.WaitForExit());
    EXPECT_FALSE(Exists(path));
    ASSERT_TRUE(Exists(renamed)) << "path length " << path.size();
    EXPECT_EQ(SampleBytes, ReadFile(renamed));
    EXPECT_EQ(setting, DatabaseSetting::Read());
}

INSTANTIATE_TEST_SUITE_P(By, RenameSuccessTest, ::testing::ValuesIn(SuccessCases), CaseName());

// What the user is about to rename, and anything kept open meanwhile.
struct Arrangement {
    explicit Arrangement(std::wstring text = {}, unique_hfile handle = {})
        : typed(std::move(text)), held(std::move(handle)) {}

    std::wstring typed;
    unique_hfile held;
};

enum class Refusal { SelectFirst, DoesNotExist };

struct RefusalCase {
    const char *name;
    Arrangement (*arrange)(const TempFolder &folder);
    Refusal refusal;
};

Arrangement FileWithAttributes(const TempFolder &folder, DWORD attributes) {
    const std::wstring path = folder / L"QvxData.mdb";
    WriteFile(path, "database", attributes);
    return Arrangement(path);
}

const RefusalCase RefusalCases[] = {
    {"EmptyText", [](const TempFolder &) { return Arrangement(); }, Refusal::SelectFirst},
    {"MissingFile", [](const TempFolder &folder) { return Arrangement(folder / L"QvxData.mdb"); },
     Refusal::DoesNotExist},
    {"Folder",
     [](const TempFolder &folder) {
         CreateDirectoryW((folder / L"QvxData.mdb").c_str(), nullptr);
         return Arrangement(folder / L"QvxData.mdb");
     },
     Refusal::DoesNotExist},
    {"HiddenFile",
     [](const TempFolder &folder) { return FileWithAttributes(folder, FILE_ATTRIBUTE_HIDDEN); },
     Refusal::DoesNotExist},
    {"SystemFile",
     [](const TempFolder &folder) { return FileWithAttributes(folder, FILE_ATTRIBUTE_SYSTEM); },
     Refusal::DoesNotExist},
    // Wine's file search reports no such file for a '|' in the name; Windows
    // calls the name invalid, which ends the program with Error 123 instead.
    {"IllegalName", [](const TempFolder &folder) { return Arrangement(folder / L"x|y.mdb"); },
     Refusal::DoesNotExist},
};

class RenameRefusalTest : public E2eTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RenameRefusalTest, ExplainsAndKeepsTheWindowOpen) {
    const Arrangement arrangement = GetParam().arrange(folder_);
    const FolderContents before = ContentsOf(folder_.Path());
    TorvaneProcess torvane;

    TypeText(torvane.Control("txtDatabaseFile"), arrangement.typed);
    ClickRename(torvane);

    ExpectMessage(torvane, GetParam().refusal == Refusal::SelectFirst
                               ? L"Please select a file before renaming it."
                               : arrangement.typed +
                                     L" does not exist.  Click the browse button to "
                                     L"locate the database file.");
    ExpectStillOpen(torvane, arrangement.typed);
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

INSTANTIATE_TEST_SUITE_P(For, RenameRefusalTest, ::testing::ValuesIn(RefusalCases), CaseName());

struct FailureCase {
    const char *name;
    Arrangement (*arrange)(const TempFolder &folder);
    DWORD error;
};

const FailureCase FailureCases[] = {
    {"TargetExists",
     [](const TempFolder &folder) {
         WriteFile(folder / L"QvxData.mdb", "database");
         WriteFile(folder / L"QvxData.mdb.Advanced", "earlier copy");
         return Arrangement(folder / L"QvxData.mdb");
     },
     ERROR_ALREADY_EXISTS},
    // Held open without FILE_SHARE_DELETE, as a running database engine would.
    {"FileInUse",
     [](const TempFolder &folder) {
         const std::wstring path = folder / L"QvxData.mdb";
         WriteFile(path, "database");
         return Arrangement(path, unique_hfile(CreateFileW(path.c_str(), GENERIC_READ,
                                                           FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                           nullptr, OPEN_EXISTING, 0, nullptr)));
     },
     ERROR_SHARING_VIOLATION},
    // The existence test matches the pattern; the rename cannot take it.
    {"WildcardPath",
     [](const TempFolder &folder) {
         WriteFile(folder / L"QvxData.mdb", "database");
         return Arrangement(folder / L"Qvx*.mdb");
     },
     ERROR_INVALID_NAME},
};

class RenameFailureTest : public E2eTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RenameFailureTest, ReportsTheErrorAndEndsWithNothingLost) {
    const Arrangement arrangement = GetParam().arrange(folder_);
    const FolderContents before = ContentsOf(folder_.Path());
    TorvaneProcess torvane;

    TypeText(torvane.Control("txtDatabaseFile"), arrangement.typed);
    ClickRename(torvane);

    const ShownMessage message = torvane.WaitForMessageBox();
    EXPECT_EQ(MessageTitle, message.title);
    const std::wstring heading = L"Error " + std::to_wstring(GetParam().error) + L":\r\n\r\n";
    EXPECT_EQ(heading, message.text.substr(0, heading.size()))
        << "whole text: " << ::testing::PrintToString(message.text);
    EXPECT_GT(message.text.size(), heading.size()) << "no description of the error";
    torvane.Acknowledge(message);

    EXPECT_EQ(1U, torvane.WaitForExit());
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

INSTANTIATE_TEST_SUITE_P(When, RenameFailureTest, ::testing::ValuesIn(FailureCases), CaseName());

} // namespace
