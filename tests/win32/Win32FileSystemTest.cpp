// The existence test and the rename against real files.

#include "platform/win32/Win32FileSystem.h"
#include "TempFolder.h"
#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

namespace {

class Win32FileSystemTest : public ::testing::Test {
protected:
    TempFolder folder{L"torvane-win32-tests"};
    Win32FileSystem files;

    std::string PathOf(const std::wstring &child) const { return Narrow(folder / child); }
};

struct ExistenceCase {
    const char *what;
    std::wstring query; // relative to the test folder
    std::string expected;
};

TEST_F(Win32FileSystemTest, ExistenceTestFindsOnlyNormalFiles) {
    WriteFile(folder / L"QvxData.mdb", "db");
    WriteFile(folder / L"Hidden.mdb", "db", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(folder / L"System.mdb", "db", FILE_ATTRIBUTE_SYSTEM);
    WriteFile(folder / L"ReadOnly.mdb", "db", FILE_ATTRIBUTE_READONLY);
    CreateDirectoryW((folder / L"Folder.mdb").c_str(), nullptr);
    WriteFile(folder / L"Donn\u00e9es \u30c7\u30fc\u30bf.mdb", "db");

    const ExistenceCase cases[] = {
        {"normal file", L"QvxData.mdb", "QvxData.mdb"},
        {"names are case-insensitive", L"qvxdata.MDB", "QvxData.mdb"},
        {"read-only file", L"ReadOnly.mdb", "ReadOnly.mdb"},
        {"hidden file", L"Hidden.mdb", ""},
        {"system file", L"System.mdb", ""},
        {"folder", L"Folder.mdb", ""},
        {"missing file", L"Missing.mdb", ""},
        {"missing folder", L"Missing\\QvxData.mdb", ""},
        {"star matches", L"Qvx*.mdb", "QvxData.mdb"},
        {"question mark matches", L"QvxDat?.mdb", "QvxData.mdb"},
        {"a pattern skips hidden matches", L"Hidd*", ""},
        {"characters outside the ANSI code page", L"Donn\u00e9es \u30c7\u30fc\u30bf.mdb",
         "Donn\xC3\xA9"
         "es \xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF.mdb"},
    };
    for (const ExistenceCase &c : cases) {
        EXPECT_EQ(c.expected, files.FirstMatchingFile(PathOf(c.query))) << c.what;
    }
}

TEST_F(Win32FileSystemTest, ExistenceTestOnEmptyPathFindsNothing) {
    EXPECT_EQ("", files.FirstMatchingFile(""));
}

// Windows refuses these names with ERROR_INVALID_NAME; Wine answers "not
// found". Either way the existence test never claims a file.
TEST_F(Win32FileSystemTest, ExistenceTestOnIllegalNamesFindsNothingOrFails) {
    for (const wchar_t *name : {L"bad<name>.mdb", L"x|y.mdb", L"q\"uote.mdb"}) {
        try {
            EXPECT_EQ("", files.FirstMatchingFile(PathOf(name)));
        } catch (const AppError &error) {
            EXPECT_EQ(ERROR_INVALID_NAME, error.Number());
        }
    }
}

TEST_F(Win32FileSystemTest, RenameMovesTheFileKeepingItsBytes) {
    WriteFile(folder / L"QvxData.mdb", "database bytes");
    files.RenameFile(PathOf(L"QvxData.mdb"), PathOf(L"QvxData.mdb.Advanced"));
    EXPECT_FALSE(Exists(folder / L"QvxData.mdb"));
    EXPECT_EQ("database bytes", ReadFile(folder / L"QvxData.mdb.Advanced"));
}

TEST_F(Win32FileSystemTest, RenameNeverReplacesAnExistingFile) {
    WriteFile(folder / L"QvxData.mdb", "current");
    WriteFile(folder / L"QvxData.mdb.Advanced", "older copy");
    try {
        files.RenameFile(PathOf(L"QvxData.mdb"), PathOf(L"QvxData.mdb.Advanced"));
        FAIL() << "an existing file was replaced";
    } catch (const AppError &error) {
        EXPECT_EQ(ERROR_ALREADY_EXISTS, error.Number());
        EXPECT_FALSE(error.Description().empty());
    }
    EXPECT_EQ("current", ReadFile(folder / L"QvxData.mdb"));
    EXPECT_EQ("older copy", ReadFile(folder / L"QvxData.mdb.Advanced"));
}

TEST_F(Win32FileSystemTest, RenameFailuresCarryTheWin32Code) {
    WriteFile(folder / L"QvxData.mdb", "db");
    const struct {
        const wchar_t *from;
        const wchar_t *to;
        std::int32_t code;
    } cases[] = {
        {L"Missing.mdb", L"Missing.mdb.Advanced", ERROR_FILE_NOT_FOUND},
        {L"Qvx*.mdb", L"Qvx*.mdb.Advanced", ERROR_INVALID_NAME},
    };
    for (const auto &c : cases) {
        try {
            files.RenameFile(PathOf(c.from), PathOf(c.to));
            ADD_FAILURE() << "renamed " << Narrow(c.from);
        } catch (const AppError &error) {
            EXPECT_EQ(c.code, error.Number()) << Narrow(c.from);
        }
    }
    EXPECT_EQ("db", ReadFile(folder / L"QvxData.mdb"));
}

// Paths past MAX_PATH take the \\?\ form; the rename lands whole.
TEST_F(Win32FileSystemTest, LongPathsAreFoundAndRenamed) {
    std::wstring deep = folder.Path();
    while (deep.size() < MAX_PATH + 20) {
        deep += L"\\a-long-folder-name-for-a-deep-path";
        ASSERT_TRUE(CreateDirectoryW(Extended(deep).c_str(), nullptr));
    }
    const std::wstring database = deep + L"\\QvxData.mdb";
    WriteFile(database, "deep bytes");

    EXPECT_EQ("QvxData.mdb", files.FirstMatchingFile(Narrow(database)));
    files.RenameFile(Narrow(database), Narrow(database + L".Advanced"));
    EXPECT_FALSE(Exists(database));
    EXPECT_EQ("deep bytes", ReadFile(database + L".Advanced"));
}

TEST(LongPathForm, ShortPathsStayExactlyAsTyped) {
    EXPECT_EQ(L"C:\\x\\..\\y.mdb", LongPathForm(L"C:\\x\\..\\y.mdb"));
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L"\\..\\y.mdb";
    EXPECT_EQ(L"\\\\?\\C:\\y.mdb", LongPathForm(longPath));
    const std::wstring longShare = L"\\\\server\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'b'), LongPathForm(longShare));
}

} // namespace
