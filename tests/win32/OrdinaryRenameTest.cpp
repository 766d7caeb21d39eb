// The move of a file in a folder someone else may control: only an
// ordinary file whose final path lies inside the folder it is allowed in is
// renamed, through the handle that was checked. What every move meets is in
// Win32FileSystemTest.

#include "TempFolder.h"
#include "TestLink.h"
#include "platform/win32/OrdinaryFile.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"

#include <gtest/gtest.h>

namespace {

class OrdinaryRenameTest : public ::testing::Test {
protected:
    TempFolder folder{L"torvane-ordinary-rename-tests"};
    Win32FileSystem files;

    std::string PathOf(const std::wstring &child) const { return Narrow(folder / child); }

    // Renames from to to, in the test folder, allowed in allowed there (the
    // test folder itself when not given).
    void Rename(const std::wstring &from, const std::wstring &to,
                const std::wstring &allowed = L"") {
        files
            .OpenForMove(PathOf(from), PathOf(to),
                         allowed.empty() ? Narrow(folder.Path()) : PathOf(allowed))
            ->Rename();
    }

    // The failure of renaming from to to, as Rename does.
    AppError FailureOf(const std::wstring &from, const std::wstring &to,
                       const std::wstring &allowed = L"") {
        try {
            Rename(from, to, allowed);
        } catch (const AppError &error) {
            return error;
        }
        ADD_FAILURE() << "renamed " << Narrow(from);
        return AppError(ErrorCategory::Program, 0, "", "");
    }
};

void ExpectRefusal(const AppError &error, const std::wstring &path) {
    EXPECT_EQ(ErrorCategory::Refusal, error.Category()) << error.Description();
    EXPECT_EQ(ERROR_ACCESS_DENIED, error.Number());
    EXPECT_NE(std::string::npos, error.Description().find(Narrow(path))) << error.Description();
}

struct TagCase {
    const char *what;
    DWORD attributes;
    DWORD tag;
    bool link;
};

// Wine reports no reparse tags, so the rule is shown on a table.
TEST(ReparseTagRule, OnlyANameSurrogateIsALink) {
    constexpr DWORD Reparse = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE;
    const TagCase cases[] = {
        {"a symbolic link", Reparse, 0xA000000C, true},
        {"a junction or mount point", Reparse | FILE_ATTRIBUTE_DIRECTORY, 0xA0000003, true},
        {"a WSL symbolic link", Reparse, 0xA000001D, true},
        {"a OneDrive file, downloaded", Reparse, 0x9000601A, false},
        {"a OneDrive file, online only", Reparse | FILE_ATTRIBUTE_OFFLINE, 0x9000001A, false},
        {"a deduplicated file", Reparse, 0x80000013, false},
        {"a compressed (WOF) file", Reparse, 0x80000017, false},
        {"a hierarchical storage file", Reparse, 0xC0000004, false},
        {"an ordinary file", FILE_ATTRIBUTE_ARCHIVE, 0, false},
        {"a tag without the reparse attribute", FILE_ATTRIBUTE_ARCHIVE, 0xA000000C, false},
    };
    for (const TagCase &c : cases) {
        EXPECT_EQ(c.link, IsLink(c.attributes, c.tag)) << c.what;
    }
}

// The final path is compared in full form, so another spelling of the same
// path is no reason to refuse.
TEST_F(OrdinaryRenameTest, RenamesThroughAnotherSpellingOfThePath) {
    ASSERT_TRUE(CreateDirectoryW((folder / L"A Long Folder Name").c_str(), nullptr));
    WriteFile(folder / L"A Long Folder Name\\QvxData.mdb", "db");
    std::wstring alias(MAX_PATH, L'\0');
    alias.resize(GetShortPathNameW((folder / L"A Long Folder Name").c_str(), alias.data(),
                                   static_cast<DWORD>(alias.size())));
    ASSERT_FALSE(alias.empty());

    files
        .OpenForMove(Narrow(alias + L"\\QVXDATA.MDB"), Narrow(alias + L"\\QvxData.mdb.Advanced"),
                     Narrow(alias))
        ->Rename();

    EXPECT_FALSE(Exists(folder / L"A Long Folder Name\\QvxData.mdb"));
    EXPECT_EQ("db", ReadFile(folder / L"A Long Folder Name\\QvxData.mdb.Advanced"));
}

TEST_F(OrdinaryRenameTest, RefusesWhatIsNotAnOrdinaryFile) {
    ASSERT_TRUE(CreateDirectoryW((folder / L"Folder.mdb").c_str(), nullptr));
    WriteFile(folder / L"Hidden.mdb", "db", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(folder / L"System.mdb", "db", FILE_ATTRIBUTE_SYSTEM);
    WriteFile(folder / L"Both.mdb", "db", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    for (const wchar_t *name : {L"Folder.mdb", L"Hidden.mdb", L"System.mdb", L"Both.mdb"}) {
        ExpectRefusal(FailureOf(name, name + std::wstring(L".Advanced")), folder / name);
        EXPECT_TRUE(Exists(folder / name)) << Narrow(name);
        EXPECT_FALSE(Exists(folder / name + L".Advanced")) << Narrow(name);
    }
}

// Windows sees a link to a file itself; Wine opens what a Unix link points
// to, whose final path then lies outside the allowed folder. Refused either
// way. A folder whose name only starts like the allowed one's is another
// folder; an allowed folder that is not there holds nothing.
TEST_F(OrdinaryRenameTest, RefusesAFileThatLiesOutsideTheAllowedFolder) {
    for (const wchar_t *child : {L"Allowed", L"Allowed2", L"Elsewhere"}) {
        ASSERT_TRUE(CreateDirectoryW((folder / child).c_str(), nullptr));
    }
    for (const wchar_t *file :
         {L"QvxData.mdb", L"Allowed2\\QvxData.mdb", L"Elsewhere\\QvxData.mdb"}) {
        WriteFile(folder / file, "db");
    }
    const TestLink fileLink(folder / L"Allowed\\Link.mdb", folder / L"QvxData.mdb",
                            TestLink::Kind::File);
    const TestLink folderLink(folder / L"Allowed\\Quorvex", folder / L"Elsewhere",
                              TestLink::Kind::Folder);
    const struct {
        const wchar_t *from;
        const wchar_t *allowed;
        const wchar_t *reached; // the file from leads to
    } cases[] = {
        {L"Allowed\\Link.mdb", L"Allowed", L"QvxData.mdb"},
        {L"Allowed\\Quorvex\\QvxData.mdb", L"Allowed", L"Elsewhere\\QvxData.mdb"},
        {L"Allowed2\\QvxData.mdb", L"Allowed", L"Allowed2\\QvxData.mdb"},
        {L"Allowed2\\QvxData.mdb", L"Missing", L"Allowed2\\QvxData.mdb"},
    };
    for (const auto &c : cases) {
        const std::wstring from = c.from;
        ExpectRefusal(FailureOf(from, from + L".Advanced", c.allowed), folder / from);
        EXPECT_EQ("db", ReadFile(folder / c.reached)) << Narrow(from);
        EXPECT_FALSE(Exists(folder / c.reached + L".Advanced")) << Narrow(from);
        EXPECT_FALSE(Exists(folder / from + L".Advanced")) << Narrow(from);
    }
}

// A profile reached through a compatibility junction, or a profiles folder
// moved with one: the file and the allowed folder are resolved alike, and
// the new name is made where the file really is.
TEST_F(OrdinaryRenameTest, RenamesAFileAFolderLinkLeadsInsideTheAllowedFolder) {
    ASSERT_TRUE(CreateDirectoryW((folder / L"Users").c_str(), nullptr));
    WriteFile(folder / L"Users\\Old.mdb", "old");
    WriteFile(folder / L"Users\\Moved.mdb", "moved");
    const TestLink compatibility(folder / L"Documents and Settings", folder / L"Users",
                                 TestLink::Kind::Folder);
    const TestLink moved(folder / L"Moved", folder / L"Users", TestLink::Kind::Folder);

    Rename(L"Documents and Settings\\Old.mdb", L"Documents and Settings\\Old.mdb.Advanced",
           L"Users");
    Rename(L"Moved\\Moved.mdb", L"Moved\\Moved.mdb.Advanced", L"Moved");

    EXPECT_EQ("old", ReadFile(folder / L"Users\\Old.mdb.Advanced"));
    EXPECT_EQ("moved", ReadFile(folder / L"Users\\Moved.mdb.Advanced"));
    EXPECT_FALSE(Exists(folder / L"Users\\Old.mdb"));
    EXPECT_FALSE(Exists(folder / L"Users\\Moved.mdb"));
}

} // namespace
