// The existence test, the rename and what the file system tells about a
// path, against real files.

#include "platform/win32/Win32FileSystem.h"
#include "TempFolder.h"
#include "UnderWine.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

#include <memory>
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

// Both kinds of move: the administrator's file, and a user's, allowed in
// the test folder.
constexpr bool Kinds[] = {false, true};

const char *KindName(bool users) { return users ? "a user's" : "the administrator's"; }

TEST_F(Win32FileSystemTest, AMoveRenamesTheFileOnceKeepingItsBytes) {
    for (const bool users : Kinds) {
        const TempFolder own(L"torvane-win32-move");
        WriteFile(own / L"QvxData.mdb", "database bytes");
        WriteFile(own / L"ReadOnly.mdb", "read-only bytes", FILE_ATTRIBUTE_READONLY);
        const std::string allowed = users ? Narrow(own.Path()) : std::string();
        for (const wchar_t *name : {L"QvxData.mdb", L"ReadOnly.mdb"}) {
            const std::wstring from = own / name;
            const std::unique_ptr<IHeldFile> held =
                files.OpenForMove(Narrow(from), Narrow(from + L".Advanced"), allowed);
            held->Rename();
            try {
                held->Rename();
                ADD_FAILURE() << KindName(users) << " renamed twice";
            } catch (const AppError &error) {
                EXPECT_EQ(ErrorCategory::Program, error.Category()) << error.Description();
            }
            EXPECT_FALSE(Exists(from)) << KindName(users) << " " << Narrow(name);
            EXPECT_TRUE(Exists(from + L".Advanced")) << KindName(users) << " " << Narrow(name);
        }
        EXPECT_EQ("database bytes", ReadFile(own / L"QvxData.mdb.Advanced"));
        EXPECT_EQ("read-only bytes", ReadFile(own / L"ReadOnly.mdb.Advanced"));
    }
}

// While its move holds it, no program opens the file as Quorvex does
// (without sharing its deletion): the move meets no change it did not
// check. Renamed or let go, it is free again.
TEST_F(Win32FileSystemTest, AHeldFileKeepsQuorvexOutUntilRenamedOrLetGo) {
    // Another program's open of path, as Quorvex opens it: its error, or 0.
    const auto openElsewhere = [](const std::wstring &path) -> DWORD {
        const unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        return file ? 0 : GetLastError();
    };
    for (const bool users : Kinds) {
        for (const bool rename : {false, true}) {
            const TempFolder own(L"torvane-win32-held");
            const std::wstring from = own / L"QvxData.mdb";
            WriteFile(from, "db");
            std::unique_ptr<IHeldFile> held = files.OpenForMove(
                Narrow(from), Narrow(from + L".Advanced"), users ? Narrow(own.Path()) : "");

            EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), openElsewhere(from))
                << KindName(users);
            if (rename) {
                held->Rename();
            }
            held.reset();

            const std::wstring now = rename ? from + L".Advanced" : from;
            EXPECT_EQ(0u, openElsewhere(now)) << KindName(users) << ", renamed " << rename;
            EXPECT_EQ("db", ReadFile(now));
            EXPECT_FALSE(Exists(rename ? from : from + L".Advanced"));
        }
    }
}

// Another program's hold on the file or on its folder stands in the way.
enum class Hold {
    None,
    // Without sharing its deletion, as Quorvex holds its database.
    FileAsQuorvex,
    // Without sharing the right to add to it. Wine would rename all the
    // same: only the move's own test of the folder refuses.
    FolderWithoutWrite,
};

unique_hfile HeldBy(Hold hold, const std::wstring &file) {
    switch (hold) {
    case Hold::None:
        return {};
    case Hold::FileAsQuorvex:
        return unique_hfile(CreateFileW(file.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    case Hold::FolderWithoutWrite:
        return unique_hfile(CreateFileW(FolderOf(file).c_str(), FILE_LIST_DIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    }
    return {};
}

struct MoveFailureCase {
    const char *what;
    const wchar_t *from; // in the test folder, which holds QvxData.mdb, its
                         // .Advanced name taken by Taken.mdb's, and Hidden.mdb
    const wchar_t *to;
    Hold hold;
    std::int32_t code;     // at the open, so the move's test meets it too
    std::int32_t atRename; // met only by the rename itself
};

// Every failure is met before anything moves, and a test of the move meets
// each one the open does; nothing changes either way.
TEST_F(Win32FileSystemTest, AMovesFailuresComeBeforeAnythingMoves) {
    const MoveFailureCase cases[] = {
        {"held as Quorvex holds it", L"QvxData.mdb", L"QvxData.mdb.Advanced", Hold::FileAsQuorvex,
         ERROR_SHARING_VIOLATION, 0},
        {"a folder that may not be added to", L"QvxData.mdb", L"QvxData.mdb.Advanced",
         Hold::FolderWithoutWrite, ERROR_SHARING_VIOLATION, 0},
        {"the new name taken", L"Taken.mdb", L"Taken.mdb.Advanced", Hold::None, 0,
         ERROR_ALREADY_EXISTS},
        {"a missing file", L"Missing.mdb", L"Missing.mdb.Advanced", Hold::None,
         ERROR_FILE_NOT_FOUND, 0},
        {"a missing folder", L"Missing\\QvxData.mdb", L"Missing\\QvxData.mdb.Advanced", Hold::None,
         ERROR_PATH_NOT_FOUND, 0},
        {"a wildcard", L"Qvx*.mdb", L"Qvx*.mdb.Advanced", Hold::None, ERROR_INVALID_NAME, 0},
        {"a new name in another folder", L"QvxData.mdb", L"Other\\QvxData.mdb.Advanced", Hold::None,
         ERROR_INVALID_PARAMETER, 0},
        {"a folder for a new name", L"QvxData.mdb", L"Other\\", Hold::None, ERROR_INVALID_PARAMETER,
         0},
        {"no new name", L"QvxData.mdb", L"", Hold::None, ERROR_INVALID_PARAMETER, 0},
    };
    ASSERT_TRUE(CreateDirectoryW((folder / L"Other").c_str(), nullptr));
    WriteFile(folder / L"QvxData.mdb", "db");
    WriteFile(folder / L"Taken.mdb", "current");
    WriteFile(folder / L"Taken.mdb.Advanced", "older copy");
    for (const MoveFailureCase &c : cases) {
        for (const bool users : Kinds) {
            for (const bool tested : {true, false}) {
                const unique_hfile hold = HeldBy(c.hold, folder / c.from);
                ASSERT_EQ(c.hold != Hold::None, static_cast<bool>(hold)) << c.what;
                std::int32_t code = 0;
                try {
                    const std::unique_ptr<IHeldFile> held = files.OpenForMove(
                        PathOf(c.from), PathOf(c.to), users ? Narrow(folder.Path()) : "");
                    if (!tested) {
                        held->Rename();
                    }
                } catch (const AppError &error) {
                    code = error.Number();
                    EXPECT_EQ(ErrorCategory::Win32, error.Category()) << error.Description();
                }
                const std::int32_t expected = c.code != 0 || tested ? c.code : c.atRename;
                EXPECT_EQ(expected, code)
                    << c.what << ", " << KindName(users) << (tested ? ", tested" : "");
            }
        }
    }
    EXPECT_EQ("db", ReadFile(folder / L"QvxData.mdb"));
    EXPECT_EQ("current", ReadFile(folder / L"Taken.mdb"));
    EXPECT_EQ("older copy", ReadFile(folder / L"Taken.mdb.Advanced"));
    EXPECT_FALSE(Exists(folder / L"QvxData.mdb.Advanced"));
    EXPECT_FALSE(Exists(folder / L"Other\\QvxData.mdb.Advanced"));
    EXPECT_FALSE(Exists(folder / L"Missing.mdb"));
}

// Paths past MAX_PATH take the \\?\ form; the move lands whole.
TEST_F(Win32FileSystemTest, LongPathsAreFoundAndMoved) {
    std::wstring deep = folder.Path();
    while (deep.size() < MAX_PATH + 20) {
        deep += L"\\a-long-folder-name-for-a-deep-path";
        ASSERT_TRUE(CreateDirectoryW(Extended(deep).c_str(), nullptr));
    }
    // Wine's GetFinalPathNameByHandleW gives no path past MAX_PATH: a
    // user's file cannot be proved to be the one asked for, and stays.
    for (const bool users : Kinds) {
        const std::wstring database = deep + (users ? L"\\User.mdb" : L"\\QvxData.mdb");
        WriteFile(database, "deep bytes");
        EXPECT_EQ(Narrow(database.substr(deep.size() + 1)),
                  files.FirstMatchingFile(Narrow(database)));
        std::int32_t code = 0;
        try {
            files
                .OpenForMove(Narrow(database), Narrow(database + L".Advanced"),
                             users ? Narrow(folder.Path()) : "")
                ->Rename();
        } catch (const AppError &error) {
            code = error.Number();
        }
        const bool stays = users && UnderWine();
        EXPECT_EQ(stays ? ERROR_MORE_DATA : 0, code) << KindName(users);
        EXPECT_EQ("deep bytes", ReadFile(stays ? database : database + L".Advanced"))
            << KindName(users);
        EXPECT_EQ(stays, Exists(database)) << KindName(users);
    }
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
