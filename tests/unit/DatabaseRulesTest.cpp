#include "core/DatabaseRules.h"
#include "fakes/FakeServices.h"

#include <gtest/gtest.h>

namespace {

const std::string Db = "C:\\Users\\Bob\\QvxData.mdb";
const std::string Renamed = Db + ".Advanced";
const std::string Profile = "C:\\Users\\Bob";

const AppError InUse(ErrorCategory::Win32, 32, "Sharing violation.", "CreateFileW");
const AppError Taken(ErrorCategory::Win32, 183, "File already exists.", "Rename");

struct MoveCase {
    const char *what;
    bool users; // a copy its user controls
    RenameMode mode;
    const AppError *atOpen;
    const AppError *atRename;
    std::int32_t failure; // the error the move ends with, 0 for none
    std::vector<std::string> after;
    std::vector<std::string> letGo;
};

// Every move is one open for it, every check made there, the folder a user's
// copy is allowed in named; the rename goes through what was opened, and a
// test lets it go.
TEST(DatabaseRulesTest, AMoveIsOneOpenThenItsRenameOrItsLettingGo) {
    const MoveCase cases[] = {
        {"a file no user controls", false, RenameMode::Rename, nullptr, nullptr, 0, {Renamed}, {}},
        {"a copy its user controls", true, RenameMode::Rename, nullptr, nullptr, 0, {Renamed}, {}},
        {"a test", true, RenameMode::TestOnly, nullptr, nullptr, 0, {Db}, {Db}},
        {"in use", false, RenameMode::Rename, &InUse, nullptr, 32, {Db}, {}},
        {"in use, tested", false, RenameMode::TestOnly, &InUse, nullptr, 32, {Db}, {}},
        {"the name taken once held", false, RenameMode::Rename, nullptr, &Taken, 183, {Db}, {}},
    };
    for (const MoveCase &c : cases) {
        FakeFileSystem files;
        files.AddFile(Db);
        if (c.atOpen != nullptr) {
            files.openFailures.emplace(Db, *c.atOpen);
        }
        if (c.atRename != nullptr) {
            files.renameFailures.emplace(Db, *c.atRename);
        }
        // The folder is known for both, and named only for the user's.
        const DatabaseCopy copy{Db, c.users, Profile};
        std::int32_t failure = 0;
        try {
            DatabaseRules::MoveCopy(files, copy, Direction::SetAside, c.mode);
        } catch (const AppError &error) {
            failure = error.Number();
        }
        EXPECT_EQ(c.failure, failure) << c.what;
        const std::vector<FakeFileSystem::MoveOpen> opens{{Db, Renamed, c.users ? Profile : ""}};
        EXPECT_EQ(opens, files.moveOpens) << c.what;
        EXPECT_EQ(c.after, files.Names()) << c.what;
        EXPECT_EQ(c.letGo, files.letGo) << c.what;
    }
}

} // namespace
