// Waiting for the users lock, seen by a run that arrives while others come
// and go: the lock file's answers over time, and what the run makes of
// them.

#include "platform/UsersLock.h"
#include "base/AppError.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLockFiles.h"
#include "fakes/FakeLogPlaces.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

const std::string Logs = "C:\\Windows\\Logs";
const std::string Folder = Logs + "\\Torvane";
const std::string LockFile = Folder + "\\EveryUser.lock";
const std::string Sddl = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
const std::string TrustedInstaller =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr std::int32_t Taken = 0;

struct LockCase {
    const char *what;
    // The lock file's answers over the run's clock, from its arrival.
    std::vector<FakeLockFiles::Span> spans;
    std::function<void(FakeLogPlaces &)> arrange;
    // 0 when the run holds the lock, else the code it ends with.
    std::int32_t error;
    // When the run held it or gave up; how many times it asked.
    long long at;
    std::size_t attempts;
    bool refused = false;
};

TEST(UsersLockTest, ARunWaitsWhileAnotherHoldsTheLockAndNeverForAFolderAUserCouldPlant) {
    // Asked at 0, 50, 150, 350, 750, 1550 ms, then every second.
    const LockCase cases[] = {
        {"no other run", {}, {}, Taken, 0, 1},
        {"A works for 10 s, then its file is being deleted for a moment",
         {{10000, 32}, {10030, 5}},
         {},
         Taken,
         10550,
         15},
        // When A's file goes, B holds the lock, not C.
        {"C comes while A works and B waits; when A ends B works for 30 s",
         {{5000, 32}, {5020, 5}, {35000, 32}},
         {},
         Taken,
         35550,
         40},
        {"A is killed: its file goes at once", {{3000, 32}}, {}, Taken, 3550, 8},
        {"B works for more than a minute", {{70000, 32}}, {}, 32, 60000, 65},
        {"access denied all the minute is a run being deleted", {{70000, 5}}, {}, 32, 60000, 65},
        {"another failure ends the wait at once", {{70000, 3}}, {}, 3, 0, 1},
        {"a folder a user owns is refused, never waited for",
         {{70000, 32}},
         [](FakeLogPlaces &p) {
             p.folders[Folder] = FakeLogPlaces::Owned("S-1-5-21-9-9-9-1001", "PC\\ann");
         },
         Taken,
         0,
         0,
         true},
    };
    for (const LockCase &c : cases) {
        FakeClock clock;
        FakeLockFiles files(clock);
        files.spans = c.spans;
        FakeLogPlaces places;
        places.folders["C:\\"] = FakeLogPlaces::Owned(TrustedInstaller);
        places.folders["C:\\Windows"] = FakeLogPlaces::Owned(TrustedInstaller);
        places.folders[Logs] = FakeLogPlaces::Owned("S-1-5-18");
        if (c.arrange) {
            c.arrange(places);
        }
        std::optional<UsersLockAttempt> attempt;
        bool refused = false;
        try {
            attempt = TakeUsersLock(places, files, clock, Folder, std::chrono::minutes(1));
        } catch (const AppError &error) {
            refused = error.Category() == ErrorCategory::Refusal;
        }
        EXPECT_EQ(c.refused, refused) << c.what;
        if (attempt) {
            EXPECT_EQ(c.error, attempt->error) << c.what;
            EXPECT_EQ(c.error == Taken, attempt->lock != nullptr) << c.what;
            EXPECT_EQ(LockFile, attempt->path) << c.what;
        }
        EXPECT_EQ(c.at, clock.now.count()) << c.what;
        ASSERT_EQ(c.attempts, files.attempts.size()) << c.what;
        for (const FakeLockFiles::Attempt &each : files.attempts) {
            EXPECT_EQ(LockFile, each.path) << c.what << " at " << each.when;
            EXPECT_EQ("O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)", each.sddl) << c.what;
        }
        // Made as a privileged run's log folder is, when missing.
        const std::vector<std::pair<std::string, std::string>> made{{Folder, Sddl}};
        EXPECT_EQ(refused ? decltype(made){} : made, places.made) << c.what;
    }
}

} // namespace
