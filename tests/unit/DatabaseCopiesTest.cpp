#include "core/DatabaseCopies.h"
#include "fakes/FakeServices.h"

#include <gtest/gtest.h>

namespace {

const std::string LocalAppData = "C:\\Users\\Ann\\AppData\\Local";
const std::string Store = LocalAppData + "\\VirtualStore";

struct CopyCase {
    const char *what;
    std::string path;
    std::optional<std::string> copy;
};

TEST(DatabaseCopiesTest, OnlyAPathInAVirtualizedFolderHasAVirtualStoreCopy) {
    FakeFileSystem files;
    const FakeSystemFolders folders;
    const CopyCase cases[] = {
        {"64-bit Program Files", "C:\\Program Files\\Quorvex\\QvxData.mdb",
         Store + "\\Program Files\\Quorvex\\QvxData.mdb"},
        {"32-bit Program Files", "C:\\Program Files (x86)\\Q\\x.mdb",
         Store + "\\Program Files (x86)\\Q\\x.mdb"},
        {"ProgramData", "C:\\ProgramData\\Q\\x.mdb", Store + "\\ProgramData\\Q\\x.mdb"},
        {"Windows", "C:\\Windows\\x.mdb", Store + "\\Windows\\x.mdb"},
        {"another case, kept as written", "c:\\PROGRAM FILES\\Q\\x.mdb",
         Store + "\\PROGRAM FILES\\Q\\x.mdb"},
        {"a folder whose name only starts alike", "C:\\Program Files Extra\\x.mdb", std::nullopt},
        {"the user's own folder", "C:\\Users\\Ann\\x.mdb", std::nullopt},
        {"another drive", "D:\\Program Files\\x.mdb", std::nullopt},
        {"a share", "\\\\server\\Program Files\\x.mdb", std::nullopt},
        {"the folder itself", "C:\\Program Files", Store + "\\Program Files"},
    };
    for (const CopyCase &c : cases) {
        EXPECT_EQ(c.copy, VirtualStorePath(files, c.path, folders.virtualized, LocalAppData))
            << c.what;
    }
}

TEST(DatabaseCopiesTest, TheCopyComesFirstAndRelativePathsAreResolved) {
    FakeServices fakes;
    fakes.files.currentFolder = "C:\\Program Files\\Quorvex";
    const std::vector<DatabaseCopy> copies = CopiesOf(fakes.Services(), "QvxData.mdb");
    ASSERT_EQ(2u, copies.size());
    EXPECT_EQ(Store + "\\Program Files\\Quorvex\\QvxData.mdb", copies[0].path);
    EXPECT_TRUE(copies[0].userControlled);
    EXPECT_EQ(Store, copies[0].allowedFolder) << "the user's VirtualStore, and nowhere else";
    EXPECT_EQ("QvxData.mdb", copies[1].path) << "the path itself stays as given";
    EXPECT_FALSE(copies[1].userControlled);

    fakes.files.currentFolder = "D:\\Data";
    EXPECT_EQ(1u, CopiesOf(fakes.Services(), "QvxData.mdb").size());
}

TEST(DatabaseCopiesTest, InsideAFolderMeansWholePartsOfItsPath) {
    FakeFileSystem files;
    EXPECT_TRUE(IsInsideFolder(files, "C:\\Users\\Ann\\x.mdb", "C:\\Users\\Ann"));
    EXPECT_TRUE(IsInsideFolder(files, "C:\\USERS\\ann\\x.mdb", "C:\\Users\\Ann\\"));
    EXPECT_FALSE(IsInsideFolder(files, "C:\\Users\\Anna\\x.mdb", "C:\\Users\\Ann"));
    EXPECT_FALSE(IsInsideFolder(files, "C:\\Users", "C:\\Users\\Ann"));
    EXPECT_FALSE(IsInsideFolder(files, "C:\\x.mdb", ""));
}

} // namespace
