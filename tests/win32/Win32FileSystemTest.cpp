// The existence test, the rename and what the file system tells about a
// path, against real files.

#include "platform/win32/Win32FileSystem.h"
#include "TempFolder.h"
#include "UnderWine.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The 8.3 alias of an existing path, or the path itself where the volume
// makes none.
std::wstring ShortForm(const std::wstring &path) {
    std::vector<wchar_t> alias(GetShortPathNameW(path.c_str(), nullptr, 0) + 1);
    const DWORD length =
        GetShortPathNameW(path.c_str(), alias.data(), static_cast<DWORD>(alias.size()));
    return length != 0 && length < alias.size() ? std::wstring(alias.data(), length) : path;
}

// The current folder for as long as the owner lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring &folder)
        : previous_(GetCurrentDirectoryW(0, nullptr), L'\0') {
        previous_.resize(
            GetCurrentDirectoryW(static_cast<DWORD>(previous_.size()), previous_.data()));
        SetCurrentDirectoryW(folder.c_str());
    }
    CurrentFolder(const CurrentFolder &) = delete;
    CurrentFolder &operator=(const CurrentFolder &) = delete;
    ~CurrentFolder() { SetCurrentDirectoryW(previous_.c_str()); }

private:
    std::wstring previous_;
};

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

// The test of either rename meets what the rename would meet, and leaves
// every file as it was.
TEST_F(Win32FileSystemTest, ARenamesTestMeetsWhatTheRenameWouldAndChangesNothing) {
    WriteFile(folder / L"QvxData.mdb", "db");
    WriteFile(folder / L"Held.mdb", "held");
    WriteFile(folder / L"Hidden.mdb", "hidden", FILE_ATTRIBUTE_HIDDEN);
    // Without FILE_SHARE_DELETE, as a running database engine holds it.
    const unique_hfile held(CreateFileW((folder / L"Held.mdb").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    ASSERT_TRUE(held);
    const struct {
        const wchar_t *from;
        bool ordinary; // through the checked rename
        std::int32_t code;
    } cases[] = {
        {L"QvxData.mdb", false, 0},
        {L"QvxData.mdb", true, 0},
        {L"Held.mdb", false, ERROR_SHARING_VIOLATION},
        {L"Held.mdb", true, ERROR_SHARING_VIOLATION},
        {L"Missing.mdb", false, ERROR_FILE_NOT_FOUND},
        {L"Missing.mdb", true, ERROR_FILE_NOT_FOUND},
        {L"Hidden.mdb", true, ERROR_ACCESS_DENIED},
    };
    for (const auto &c : cases) {
        const std::string from = PathOf(c.from);
        const std::string to = from + ".Advanced";
        std::int32_t code = 0;
        try {
            if (c.ordinary) {
                files.RenameOrdinaryFile(from, to, Narrow(folder.Path()), RenameMode::TestOnly);
            } else {
                files.RenameFile(from, to, RenameMode::TestOnly);
            }
        } catch (const AppError &error) {
            code = error.Number();
        }
        EXPECT_EQ(c.code, code) << Narrow(c.from) << (c.ordinary ? ", checked" : "");
    }
    EXPECT_EQ("db", ReadFile(folder / L"QvxData.mdb"));
    EXPECT_EQ("held", ReadFile(folder / L"Held.mdb"));
    EXPECT_FALSE(Exists(folder / L"QvxData.mdb.Advanced"));
    EXPECT_FALSE(Exists(folder / L"Missing.mdb"));
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

struct PathCase {
    const char *what;
    std::wstring path;
    std::wstring expected;
};

TEST_F(Win32FileSystemTest, FullPathResolvesWhatIsRelativeAndKeepsWhatIsMissing) {
    const std::wstring named = folder / L"A Long Folder Name";
    ASSERT_TRUE(CreateDirectoryW(named.c_str(), nullptr));
    WriteFile(named + L"\\QvxData.mdb", "db");
    const CurrentFolder current(folder.Path());

    const PathCase cases[] = {
        {"relative to the current folder", L"A Long Folder Name\\QvxData.mdb",
         named + L"\\QvxData.mdb"},
        {"dot parts resolved", L".\\Missing\\..\\A Long Folder Name\\.\\QvxData.mdb",
         named + L"\\QvxData.mdb"},
        {"a missing tail kept as given", named + L"\\Not Yet\\QvxData.mdb",
         named + L"\\Not Yet\\QvxData.mdb"},
        {"a file that does not exist yet", named + L"\\QvxData.mdb.Advanced",
         named + L"\\QvxData.mdb.Advanced"},
        {"the \\\\?\\ prefix dropped from a short path", L"\\\\?\\" + named, named},
        {"a root", L"C:\\", L"C:\\"},
    };
    for (const PathCase &c : cases) {
        EXPECT_EQ(Narrow(c.expected), files.FullPath(Narrow(c.path))) << c.what;
    }
}

TEST_F(Win32FileSystemTest, FullPathLengthensShortNames) {
    const std::wstring named = folder / L"A Long Folder Name";
    ASSERT_TRUE(CreateDirectoryW(named.c_str(), nullptr));
    WriteFile(named + L"\\QvxData.mdb", "db");
    const std::wstring alias = ShortForm(named);
    if (alias == named) {
        GTEST_SKIP() << "the volume gives no 8.3 names";
    }

    const PathCase cases[] = {
        {"an existing file", alias + L"\\QvxData.mdb", named + L"\\QvxData.mdb"},
        {"before a missing tail", alias + L"\\Not Yet\\QvxData.mdb",
         named + L"\\Not Yet\\QvxData.mdb"},
        {"in another case", alias + L"\\QVXDATA.MDB", named + L"\\QvxData.mdb"},
    };
    for (const PathCase &c : cases) {
        const std::string full = files.FullPath(Narrow(c.path));
        EXPECT_TRUE(SamePathText(c.expected, Widen(full))) << c.what << ": " << full;
    }
}

// Past MAX_PATH the result keeps the \\?\ form the file APIs need for it.
TEST_F(Win32FileSystemTest, FullPathOfALongPathKeepsItsPrefix) {
    const std::wstring named = folder / L"A Long Folder Name";
    ASSERT_TRUE(CreateDirectoryW(named.c_str(), nullptr));
    const std::wstring alias = ShortForm(named);
    std::wstring deep = named;
    std::wstring deepAlias = alias;
    while (deep.size() < MAX_PATH + 20) {
        deep += L"\\a-long-folder-name-for-a-deep-path";
        deepAlias += L"\\a-long-folder-name-for-a-deep-path";
        ASSERT_TRUE(CreateDirectoryW(Extended(deep).c_str(), nullptr));
    }
    const std::wstring expected = Extended(deep) + L"\\Not Yet.mdb";

    EXPECT_EQ(Narrow(expected), files.FullPath(Narrow(deep + L"\\Not Yet.mdb")));
    // Wine's GetLongPathNameW gives a \\?\ path back as it is, 8.3 names and
    // all (and missing parts too); Windows lengthens them at any length.
    EXPECT_EQ(Narrow(UnderWine() ? Extended(deepAlias) + L"\\Not Yet.mdb" : expected),
              files.FullPath(Narrow(deepAlias + L"\\Not Yet.mdb")));
}

TEST_F(Win32FileSystemTest, FullPathOfNothingIsAnError) {
    EXPECT_THROW(files.FullPath(""), AppError);
}

TEST_F(Win32FileSystemTest, KindOfTellsWhatIsAtAPath) {
    WriteFile(folder / L"QvxData.mdb", "db");
    WriteFile(folder / L"ReadOnly.mdb", "db", FILE_ATTRIBUTE_READONLY);
    WriteFile(folder / L"Hidden.mdb", "db", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(folder / L"System.mdb", "db", FILE_ATTRIBUTE_SYSTEM);
    WriteFile(folder / L"Both.mdb", "db", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryW((folder / L"Folder.mdb").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Hidden Folder").c_str(), nullptr));
    SetFileAttributesW((folder / L"Hidden Folder").c_str(), FILE_ATTRIBUTE_HIDDEN);

    const struct {
        const wchar_t *name;
        PathKind expected;
    } cases[] = {
        {L"QvxData.mdb", PathKind::NormalFile},  {L"qvxdata.MDB", PathKind::NormalFile},
        {L"ReadOnly.mdb", PathKind::NormalFile}, {L"Hidden.mdb", PathKind::HiddenFile},
        {L"System.mdb", PathKind::SystemFile},   {L"Both.mdb", PathKind::SystemFile},
        {L"Folder.mdb", PathKind::Folder},       {L"Hidden Folder", PathKind::Folder},
        {L"Missing.mdb", PathKind::Nothing},     {L"Missing\\QvxData.mdb", PathKind::Nothing},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.expected, files.KindOf(PathOf(c.name))) << Narrow(c.name);
    }
}

// Taken literally, a pattern names no file: Windows and Wine alike call the
// name invalid.
TEST_F(Win32FileSystemTest, KindOfMatchesNoWildcards) {
    WriteFile(folder / L"QvxData.mdb", "db");
    try {
        const PathKind kind = files.KindOf(PathOf(L"Qvx*.mdb"));
        ADD_FAILURE() << "a pattern was looked at: " << static_cast<int>(kind);
    } catch (const AppError &error) {
        EXPECT_TRUE(error.IsWin32(ERROR_INVALID_NAME)) << error.Number();
    }
}

TEST_F(Win32FileSystemTest, SameExistingFileComparesIdentityNotSpelling) {
    WriteFile(folder / L"QvxData.mdb", "db");
    WriteFile(folder / L"Copy.mdb", "db");
    ASSERT_TRUE(CreateHardLinkW((folder / L"HardLink.mdb").c_str(),
                                (folder / L"QvxData.mdb").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder / L"Folder").c_str(), nullptr));
    const CurrentFolder current(folder.Path());

    const struct {
        const char *what;
        std::wstring a;
        std::wstring b;
        bool expected;
    } cases[] = {
        {"one path", folder / L"QvxData.mdb", folder / L"QvxData.mdb", true},
        {"another case", folder / L"QvxData.mdb", folder / L"QVXDATA.mdb", true},
        {"relative and full", L"QvxData.mdb", folder / L"QvxData.mdb", true},
        {"a hard link", folder / L"HardLink.mdb", folder / L"QvxData.mdb", true},
        {"a folder", folder / L"Folder", folder / L"FOLDER", true},
        {"a copy", folder / L"Copy.mdb", folder / L"QvxData.mdb", false},
        {"a file and a folder", folder / L"Folder", folder / L"QvxData.mdb", false},
        {"the second missing", folder / L"QvxData.mdb", folder / L"Missing.mdb", false},
        {"the first missing", folder / L"Missing.mdb", folder / L"QvxData.mdb", false},
        {"both missing, one path", folder / L"Missing.mdb", folder / L"Missing.mdb", false},
        {"in a missing folder", folder / L"No\\QvxData.mdb", folder / L"No\\QvxData.mdb", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.expected, files.SameExistingFile(Narrow(c.a), Narrow(c.b))) << c.what;
    }
}

// The facts the fake's SameEntry stands for. Wine has no administrative
// share to reach the folder through; the \\?\ form and 8.3 names it has.
TEST_F(Win32FileSystemTest, SameEntryComparesTheFolderByIdentityAndTheNameInItsLongForm) {
    WriteFile(folder / L"QvxData.mdb", "db");
    ASSERT_TRUE(CreateDirectoryW((folder / L"Folder").c_str(), nullptr));
    WriteFile(folder / L"QvxDatabase.mdb", "db");
    const std::wstring shortName = ShortForm(folder / L"QvxDatabase.mdb");
    ASSERT_NE(std::wstring::npos, shortName.find(L'~')) << Narrow(shortName);
    const struct {
        const char *what;
        std::wstring a;
        std::wstring b;
        bool expected;
    } cases[] = {
        {"another case", folder / L"QvxData.mdb", folder / L"QVXDATA.MDB", true},
        {"the \\\\?\\ form", L"\\\\?\\" + folder / L"QvxData.mdb", folder / L"QvxData.mdb", true},
        {"its 8.3 name", shortName, folder / L"QvxDatabase.mdb", true},
        {"a name not there yet", folder / L"QvxData.mdb.Advanced",
         L"\\\\?\\" + folder / L"QVXDATA.mdb.advanced", true},
        {"another name", folder / L"QvxData.mdb", folder / L"QvxData.log", false},
        {"another folder", folder / L"Folder\\QvxData.mdb", folder / L"QvxData.mdb", false},
        {"a missing folder", folder / L"No\\QvxData.mdb", folder / L"No\\QvxData.mdb", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.expected, files.SameEntry(Narrow(c.a), Narrow(c.b))) << c.what;
    }
}

// A share mapped to a letter is what a drive's type tells; neither the
// tests' own drive nor a letter with nothing behind it is one.
TEST_F(Win32FileSystemTest, ALocalDriveIsNoNetworkDrive) {
    const std::string path = files.FullPath(PathOf(L"x"));
    EXPECT_FALSE(files.IsNetworkDrive(path.substr(0, 3))) << path;
    EXPECT_FALSE(files.IsNetworkDrive("Q:\\"));
}

TEST(LongPathForm, ShortPathsStayExactlyAsTyped) {
    EXPECT_EQ(L"C:\\x\\..\\y.mdb", LongPathForm(L"C:\\x\\..\\y.mdb"));
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L"\\..\\y.mdb";
    EXPECT_EQ(L"\\\\?\\C:\\y.mdb", LongPathForm(longPath));
    const std::wstring longShare = L"\\\\server\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'b'), LongPathForm(longShare));
}

} // namespace
