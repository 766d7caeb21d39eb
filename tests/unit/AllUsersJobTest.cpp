#include "core/AllUsersJob.h"
#include "app/modMain.h"
#include "core/CommandJob.h"
#include "core/RunReport.h"
#include "fakes/CountingClock.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeUserProfiles.h"
#include "platform/PeoplesSids.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::string_literals;

const std::string Default = "C:\\Program Files\\Quorvex\\QvxData.mdb";
const std::string ProductKey = "\\SOFTWARE\\Kestrova\\Quorvex\\Defaults";

const std::string AnnSid = "S-1-5-21-1-2-3-1001";
const std::string BobSid = "S-1-5-21-1-2-3-1002";
const std::string CySid = "S-1-5-21-1-2-3-1003";

std::string StoreOf(const std::string &user) {
    return "C:\\Users\\" + user + "\\AppData\\Local\\VirtualStore\\Program Files\\Quorvex\\" +
           "QvxData.mdb";
}

class AllUsersJobTest : public ::testing::Test {
protected:
    FakeServices fakes;
    FakeUserProfiles profiles;
    FakeRunOutput output;
    ProgramSettingsLifetime settingsLifetime;

    AllUsersJobTest() {
        fakes.application.elevated = true;
        AddUser(AnnSid, "Ann", true);
        AddUser(BobSid, "Bob", false);
    }
    void AddUser(const std::string &sid, const std::string &name, bool signedIn) {
        FakeUserProfiles::User user;
        user.profile = {sid, "C:\\Users\\" + name};
        user.signedIn = signedIn;
        profiles.users.push_back(user);
    }
    // The user's setting, in their hive as the run will find it.
    void StoreSetting(const std::string &sid, const std::string &path) {
        const FakeUserProfiles::User &user = UserOf(sid);
        const std::string hive = user.signedIn ? sid : FakeUserProfiles::LoadedName(sid);
        fakes.registry.Store(HKEY_USERS_VALUE, hive + ProductKey, "Database", RegistryType::String,
                             path + "\0"s);
    }
    const FakeUserProfiles::User &UserOf(const std::string &sid) const {
        for (const FakeUserProfiles::User &user : profiles.users) {
            if (user.profile.sid == sid) {
                return user;
            }
        }
        throw std::runtime_error("no user " + sid);
    }
    int Run(std::vector<std::string> arguments = {"/quiet", "/allusers"}) {
        return RunCommand(fakes.Services(), profiles, output, ParseCommandLine(arguments),
                          "Torvane");
    }
    std::vector<std::string> Files() const { return fakes.files.Names(); }
};

TEST_F(AllUsersJobTest, WithoutAdministratorRightsNothingIsTouched) {
    fakes.application.elevated = false;
    fakes.files.AddFile(Default);
    EXPECT_EQ(740, Run({"/quiet", "/allusers", "/log", "C:\\t.log"}));
    EXPECT_EQ(std::vector<std::string>{Default}, Files());
    EXPECT_TRUE(profiles.events.empty());
    EXPECT_FALSE(output.logPath.has_value()) << "the log is not even created";
}

TEST_F(AllUsersJobTest, EachUsersSettingAndCopyAreSetAsideAndTheSharedFileOnce) {
    AddUser(CySid, "Cy", false);
    fakes.files.AddFile(Default);
    fakes.files.AddFile(StoreOf("Ann"));
    fakes.files.AddFile(StoreOf("Cy"));
    const std::string bobs = "C:\\Users\\Bob\\Documents\\Bob.mdb";
    StoreSetting(BobSid, bobs);
    fakes.files.AddFile(bobs);

    EXPECT_EQ(0, Run());
    EXPECT_EQ((std::vector<std::string>{Default + ".Advanced", StoreOf("Ann") + ".Advanced",
                                        bobs + ".Advanced", StoreOf("Cy") + ".Advanced"}),
              Files());
    // Bob's own setting and every VirtualStore copy came from a user.
    EXPECT_EQ((std::vector<std::string>{StoreOf("Ann"), bobs, StoreOf("Cy")}),
              fakes.files.ordinaryRenames);
    const std::string ann = "Ann (" + AnnSid + "): ";
    const std::string bob = "Bob (" + BobSid + "): ";
    const std::string cy = "Cy (" + CySid + "): ";
    const std::vector<std::string> expected{
        ann + "Renamed " + StoreOf("Ann") + " to " + StoreOf("Ann") + ".Advanced.",
        ann + "Renamed " + Default + " to " + Default + ".Advanced.",
        bob + "Renamed " + bobs + " to " + bobs + ".Advanced.",
        cy + "Renamed " + StoreOf("Cy") + " to " + StoreOf("Cy") + ".Advanced.",
        "Done for every user: 3 users, 4 copies renamed now, 0 found so already."};
    EXPECT_EQ(expected, output.lines);
}

TEST_F(AllUsersJobTest, AHiveLoadedForTheRunGoesBeforeTheNextUsersIsLoaded) {
    AddUser(CySid, "Cy", false);
    fakes.files.AddFile(Default);
    EXPECT_EQ(0, Run());
    const std::vector<std::string> expected{"lock",
                                            "look at HKEY_USERS",
                                            "load " + FakeUserProfiles::LoadedName(BobSid),
                                            "unload " + FakeUserProfiles::LoadedName(BobSid),
                                            "load " + FakeUserProfiles::LoadedName(CySid),
                                            "unload " + FakeUserProfiles::LoadedName(CySid),
                                            "unlock"};
    EXPECT_EQ(expected, profiles.events)
        << "Ann is signed in: her hive is read in place; HKEY_USERS is looked at once";
    EXPECT_TRUE(profiles.loaded.empty());
    // The settings store read each user's key in that user's hive.
    const std::vector<std::string> read{AnnSid + ProductKey,
                                        FakeUserProfiles::LoadedName(BobSid) + ProductKey,
                                        FakeUserProfiles::LoadedName(CySid) + ProductKey};
    EXPECT_EQ(read, fakes.registry.OpenedPaths());
}

// No hive, no setting; the VirtualStore copy of the default path needs none.
TEST_F(AllUsersJobTest, AProfileWithoutAHiveFileStillHasItsCopiesTakenWithALine) {
    profiles.users[1].hasHiveFile = false;
    fakes.files.AddFile(Default);
    fakes.files.AddFile(StoreOf("Bob"));
    EXPECT_EQ(0, Run()) << "the line is no failure";
    EXPECT_EQ("Bob (" + BobSid + "): C:\\Users\\Bob has no NTUSER.DAT or NTUSER.MAN, so the " +
                  "user's settings cannot be read; looking for copies of " + Default +
                  " with Local AppData C:\\Users\\Bob\\AppData\\Local.",
              output.lines[0]);
    EXPECT_EQ((std::vector<std::string>{Default + ".Advanced", StoreOf("Bob") + ".Advanced"}),
              Files());
    EXPECT_TRUE(profiles.loaded.empty());
}

TEST_F(AllUsersJobTest, AHiveThatStaysLoadedIsReportedAndTheRestIsStillDone) {
    profiles.unloadFailure =
        AppError(ErrorCategory::Win32, 5, "Access is denied.", "RegUnLoadKeyW");
    fakes.files.AddFile(Default);
    EXPECT_EQ(5, Run());
    EXPECT_EQ(std::vector<std::string>{Default + ".Advanced"}, Files());
    EXPECT_NE(std::find(output.lines.begin(), output.lines.end(),
                        "Bob (" + BobSid + "): the user's hive " +
                            FakeUserProfiles::LoadedName(BobSid) +
                            " stays loaded. Error 5: Access is denied."),
              output.lines.end())
        << ::testing::PrintToString(output.lines);
}

enum class Verdict {
    Acted,
    LeftAlone, // by the rule on where the path is written
    Refused,   // by the rename, where the file's final path leads
};

struct UsersWordCase {
    const char *what;
    std::string setting;
    Verdict verdict;
    std::string finalPath; // where the setting leads, when not to itself
    bool storeCopy;        // Bob has his own VirtualStore copy of it
};

TEST_F(AllUsersJobTest, AUsersSettingNeverSteersTheRunBeyondWhatTheUserCouldDo) {
    const std::string x86 = "C:\\Program Files (x86)\\Quorvex\\db.mdb";
    const UsersWordCase cases[] = {
        {"an .mdb in the user's profile", "C:\\Users\\Bob\\db.mdb", Verdict::Acted, "", false},
        {"an .mdb in Quorvex's folder, at any depth", "C:\\Program Files\\Quorvex\\a\\b\\db.mdb",
         Verdict::Acted, "", false},
        {"an .mdb in Quorvex's 32-bit folder", x86, Verdict::Acted, "", false},
        {"an .mdb in another program's folder", "C:\\Program Files\\Other\\db.mdb",
         Verdict::LeftAlone, "", false},
        {"a folder whose name only starts as Quorvex's", "C:\\Program Files\\Quorvex2\\db.mdb",
         Verdict::LeftAlone, "", false},
        {"an .mdb in ProgramData", "C:\\ProgramData\\Q\\db.MDB", Verdict::LeftAlone, "", false},
        {"the user's own copy of a path left alone", "C:\\ProgramData\\Q\\db.mdb",
         Verdict::LeftAlone, "", true},
        {"a link from Quorvex's folder to another program's", "C:\\Program Files\\Quorvex\\db.mdb",
         Verdict::Refused, "C:\\Program Files\\Other\\db.mdb", false},
        {"the profile through a compatibility junction", "C:\\Documents and Settings\\Bob\\db.mdb",
         Verdict::Acted, "C:\\Users\\Bob\\db.mdb", false},
        {"an .mdb in another user's profile", "C:\\Users\\Ann\\db.mdb", Verdict::Refused, "",
         false},
        {"an .mdb elsewhere", "D:\\Shared\\db.mdb", Verdict::Refused, "", false},
        {"not an .mdb", "C:\\Users\\Bob\\notes.txt", Verdict::LeftAlone, "", false},
        {"a system file", "C:\\Windows\\System32\\config\\SAM", Verdict::LeftAlone, "", false},
    };
    for (const UsersWordCase &c : cases) {
        FakeServices fresh;
        FakeRunOutput out;
        fresh.application.elevated = true;
        fresh.registry.Store(HKEY_USERS_VALUE, FakeUserProfiles::LoadedName(BobSid) + ProductKey,
                             "Database", RegistryType::String, c.setting + "\0"s);
        fresh.files.AddFile(c.setting);
        if (!c.finalPath.empty()) {
            fresh.files.finalPaths[c.setting] = c.finalPath;
        }
        const std::string store =
            "C:\\Users\\Bob\\AppData\\Local\\VirtualStore" + c.setting.substr(2);
        if (c.storeCopy) {
            fresh.files.AddFile(store);
        }
        const ProgramSettingsLifetime lifetime;
        const int code = RunCommand(fresh.Services(), profiles, out,
                                    ParseCommandLine({"/quiet", "/allusers"}), "Torvane");
        const bool acted = c.verdict == Verdict::Acted;
        EXPECT_EQ(acted ? 0 : 5, code) << c.what;
        EXPECT_EQ(acted ? 0u : 1u, fresh.files.files.count(c.setting)) << c.what;
        if (c.storeCopy) {
            EXPECT_EQ(1u, fresh.files.files.count(store + ".Advanced")) << c.what;
        }
        const std::string leftAlone = "Bob (" + BobSid + "): Left alone: " + c.setting;
        EXPECT_EQ(
            c.verdict == Verdict::LeftAlone,
            std::any_of(out.lines.begin(), out.lines.end(),
                        [&](const std::string &line) { return line.rfind(leftAlone, 0) == 0; }))
            << c.what << ": " << ::testing::PrintToString(out.lines);
    }
}

TEST_F(AllUsersJobTest, TheAdministratorsPathIsTakenAsGiven) {
    fakes.files.AddFile("D:\\Shared\\notes.txt");
    StoreSetting(BobSid, "C:\\Users\\Bob\\db.mdb");
    EXPECT_EQ(0, Run({"/quiet", "/allusers", "/path", "D:\\Shared\\notes.txt"}));
    EXPECT_EQ(std::vector<std::string>{"D:\\Shared\\notes.txt.Advanced"}, Files());
    EXPECT_TRUE(fakes.files.ordinaryRenames.empty());
}

TEST_F(AllUsersJobTest, ExitCodesTellTheStateOfEveryUser) {
    EXPECT_EQ(2, Run()) << "no user has any copy";
    EXPECT_NE(std::string::npos, output.lines.back().find("Nothing to do for any user"))
        << output.lines.back();

    fakes.files.AddFile(Default + ".Advanced");
    EXPECT_EQ(0, Run()) << "already done";

    fakes.files.AddFile(StoreOf("Bob"));
    fakes.files.renameFailures.emplace(
        StoreOf("Bob"), AppError(ErrorCategory::Win32, 32, "Sharing violation.", "MoveFileExW"));
    fakes.files.AddFile(StoreOf("Ann"));
    EXPECT_EQ(32, Run()) << "the first failure, after the rest is done";
    EXPECT_EQ(1u, fakes.files.files.count(StoreOf("Ann") + ".Advanced"));
}

struct UnitCase {
    const char *what;
    std::vector<std::string> before;
    std::function<void(FakeServices &)> arrange;
    int exitCode;
    std::vector<std::string> after;
    std::string summary;
};

// Each distinct file is a unit of its own: one that fails or is left alone
// never keeps the run from another, above all not from the shared file.
TEST_F(AllUsersJobTest, NoFileStopsTheRunFromAnother) {
    const AppError inUse(ErrorCategory::Win32, 32, "Sharing violation.", "CreateFileW");
    const std::string adv = ".Advanced";
    const UnitCase cases[] = {
        {"one user's copy held open",
         {Default, StoreOf("Ann"), StoreOf("Bob")},
         [&](FakeServices &f) { f.files.renameFailures.emplace(StoreOf("Ann"), inUse); },
         32,
         {Default + adv, StoreOf("Ann"), StoreOf("Bob") + adv},
         "Not done for every user: 2 users, 2 copies renamed now, 0 found so already; the first "
         "failure. Error 32: System text of 32."},
        {"one user's copy at both names",
         {Default, StoreOf("Ann"), StoreOf("Ann") + adv, StoreOf("Bob")},
         {},
         183,
         {Default + adv, StoreOf("Ann"), StoreOf("Ann") + adv, StoreOf("Bob") + adv},
         "Not done for every user: 2 users, 2 copies renamed now, 0 found so already; the first "
         "failure. Error 183: System text of 183."},
        {"the shared file held open",
         {Default, StoreOf("Ann"), StoreOf("Bob")},
         [&](FakeServices &f) { f.files.renameFailures.emplace(Default, inUse); },
         32,
         {Default, StoreOf("Ann") + adv, StoreOf("Bob") + adv},
         "Not done for every user: 2 users, 2 copies renamed now, 0 found so already; the first "
         "failure. Error 32: System text of 32."},
        {"one user's setting left alone",
         {Default, "D:\\Shared\\db.mdb"},
         [&](FakeServices &f) {
             f.registry.Store(HKEY_USERS_VALUE, FakeUserProfiles::LoadedName(BobSid) + ProductKey,
                              "Database", RegistryType::String, "D:\\Shared\\db.mdb\0"s);
         },
         5,
         {Default + adv, "D:\\Shared\\db.mdb"},
         "Not done for every user: 2 users, 1 copies renamed now, 0 found so already; the first "
         "failure. Error 5: System text of 5."},
        {"some already done",
         {Default + adv, StoreOf("Bob")},
         {},
         0,
         {Default + adv, StoreOf("Bob") + adv},
         "Done for every user: 2 users, 1 copies renamed now, 1 found so already."},
        {"nothing anywhere",
         {},
         {},
         2,
         {},
         "Nothing to do for any user: 2 users, 0 copies renamed now, 0 found so already; no user "
         "has the database. Error 2: System text of 2."},
    };
    for (const UnitCase &c : cases) {
        FakeServices fresh;
        FakeRunOutput out;
        fresh.application.elevated = true;
        for (const std::string &file : c.before) {
            fresh.files.AddFile(file);
        }
        if (c.arrange) {
            c.arrange(fresh);
        }
        const ProgramSettingsLifetime lifetime;
        EXPECT_EQ(c.exitCode, RunCommand(fresh.Services(), profiles, out,
                                         ParseCommandLine({"/quiet", "/allusers"}), "Torvane"))
            << c.what;
        std::vector<std::string> after = c.after;
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, fresh.files.Names()) << c.what;
        ASSERT_FALSE(out.lines.empty()) << c.what;
        EXPECT_EQ(c.summary, out.lines.back()) << c.what;
    }
}

TEST_F(AllUsersJobTest, TheLogMayNotBeAnyUsersFile) {
    StoreSetting(BobSid, "C:\\Users\\Bob\\db.mdb");
    fakes.files.AddFile("C:\\Users\\Bob\\db.mdb");
    EXPECT_EQ(87, Run({"/quiet", "/allusers", "/log", "C:\\Users\\Bob\\db.mdb.Advanced"}));
    EXPECT_TRUE(fakes.files.renames.empty());
    EXPECT_FALSE(output.logPath.has_value());
}

TEST_F(AllUsersJobTest, WhatTheSettingsStoreSaysWhileReadingReachesTheLog) {
    fakes.files.AddFile(Default);
    fakes.codePage.fromAnsiFailure =
        AppError(ErrorCategory::Program, ErrorNumber::InvalidText, "Invalid text", "FromAnsi");
    StoreSetting(BobSid, "C:\\Users\\Bob\\db.mdb");
    EXPECT_EQ(0, Run({"/quiet", "/allusers", "/log", "C:\\t.log"}));
    ASSERT_FALSE(output.logLines.empty());
    EXPECT_EQ("GetKeyValue: Error: 5. Invalid text", output.logLines[0]);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

struct ProfileEntryCase {
    const char *name;
    ProfileEntryKind kind;
};

TEST(PeoplesSids, EveryPersonsProfileIsAUserAndNothingElseIs) {
    const ProfileEntryCase cases[] = {
        {"S-1-5-21-1004336348-1177238915-682003330-1001", ProfileEntryKind::Person},
        {"S-1-12-1-3166124577-1158129467-2561506443-1827284542", ProfileEntryKind::Person},
        {"s-1-5-21-1-2-3-500", ProfileEntryKind::Person},
        {"S-1-5-21-1-2-3-1001.bak", ProfileEntryKind::SetAsideProfile},
        {"S-1-12-1-1-2-3-4.BAK", ProfileEntryKind::SetAsideProfile},
        {"S-1-5-18", ProfileEntryKind::NotAPerson},
        {"S-1-5-19", ProfileEntryKind::NotAPerson},
        {"S-1-5-20", ProfileEntryKind::NotAPerson},
        {"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
         ProfileEntryKind::NotAPerson},
        {"S-1-5-82-3006700770-424185619-1745488364-794895919-4004696415",
         ProfileEntryKind::NotAPerson},
        {"S-1-5-90-0-1", ProfileEntryKind::NotAPerson},
        {"S-1-5-96-0-0", ProfileEntryKind::NotAPerson},
        {"S-1-12-2-1-2", ProfileEntryKind::NotAPerson},
        {"S-1-5-18.bak", ProfileEntryKind::NotAPerson},
        {"S-1-5-21-", ProfileEntryKind::NotAPerson},
        {"S-1-5-21-1-2-3-1001-", ProfileEntryKind::NotAPerson},
        {"S-1-5-21-1--2", ProfileEntryKind::NotAPerson},
        {"S-1-5-21-1-2-3-1001.bak.bak", ProfileEntryKind::NotAPerson},
        {"S-1-5-21-1-2-3-1001 ", ProfileEntryKind::NotAPerson},
        {"S-1-5-21-1-2-3-1001\\..", ProfileEntryKind::NotAPerson},
        {"S-1-5-21-1-2-3-x", ProfileEntryKind::NotAPerson},
        {"x-S-1-5-21-1-2-3-1001", ProfileEntryKind::NotAPerson},
        {"Default", ProfileEntryKind::NotAPerson},
        {".bak", ProfileEntryKind::NotAPerson},
        {"", ProfileEntryKind::NotAPerson},
    };
    for (const ProfileEntryCase &c : cases) {
        EXPECT_EQ(c.kind, KindOfProfileEntry(c.name)) << c.name;
    }
}

struct PatienceCase {
    const char *what;
    std::vector<int> answers; // each attempt's code; the last repeats
    int result;
    std::vector<long long> pauses;
};

TEST(Patience, AHeldHiveIsAskedAfterWithGrowingPausesForTenSeconds) {
    const PatienceCase cases[] = {
        {"unloaded at once", {0}, 0, {}},
        {"held for a moment", {5, 5, 0}, 0, {50, 100}},
        {"a sharing violation is a hold too", {32, 0}, 0, {50}},
        {"another failure is not waited on", {5, 1009}, 1009, {50}},
        {"held for good",
         {5},
         5,
         {50, 100, 200, 400, 800, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 450}},
    };
    for (const PatienceCase &c : cases) {
        CountingClock clock;
        std::size_t attempt = 0;
        const int result = RetryWhileBusy(
            clock, std::chrono::milliseconds(10000),
            [](int code) { return code == 5 || code == 32; },
            [&] { return c.answers[std::min(attempt++, c.answers.size() - 1)]; });
        EXPECT_EQ(c.result, result) << c.what;
        EXPECT_EQ(c.pauses, clock.pauses) << c.what;
        EXPECT_LE(clock.now.count(), 10000) << c.what;
    }
}

const std::string BobBak = BobSid + ".bak";

// Windows signed Bob in with a temporary profile; his own is set aside.
TEST_F(AllUsersJobTest, ASetAsideProfileIsAUserBesideTheTemporaryOne) {
    profiles.users[1].profile.folder = "C:\\Users\\TEMP";
    profiles.users[1].signedIn = true;
    AddUser(BobBak, "Bob", false);
    fakes.files.AddFile(StoreOf("TEMP"));
    fakes.files.AddFile(StoreOf("Bob"));
    EXPECT_EQ(0, Run());
    EXPECT_EQ(
        (std::vector<std::string>{StoreOf("Bob") + ".Advanced", StoreOf("TEMP") + ".Advanced"}),
        Files());
    const auto says = [&](const std::string &line) {
        return std::find(output.lines.begin(), output.lines.end(), line) != output.lines.end();
    };
    EXPECT_TRUE(says("TEMP (" + BobSid + "): Renamed " + StoreOf("TEMP") + " to " +
                     StoreOf("TEMP") + ".Advanced."))
        << ::testing::PrintToString(output.lines);
    EXPECT_TRUE(says("Bob (" + BobBak + "): Renamed " + StoreOf("Bob") + " to " + StoreOf("Bob") +
                     ".Advanced."))
        << ::testing::PrintToString(output.lines);
    EXPECT_NE(std::find(profiles.events.begin(), profiles.events.end(), "load Torvane-" + BobBak),
              profiles.events.end())
        << "loaded under its own name";
    EXPECT_TRUE(profiles.loaded.empty());
}

struct HealingCase {
    const char *what;
    LeftHives leftHives;
    int busyUnloads; // of the hive an earlier run left
    int exitCode;
    bool loadedAfter;
    int loads;        // of Bob's hive by this run
    const char *line; // the start of a line the run writes
};

// An earlier run was killed while it had Bob's hive loaded.
TEST_F(AllUsersJobTest, AHiveAnEarlierRunLeftIsUnloadedAndItsUserStillDone) {
    const std::string left = FakeUserProfiles::LoadedName(BobSid);
    const HealingCase cases[] = {
        {"unloaded at start", LeftHives::Unload, 0, 0, false, 1, ", was unloaded."},
        {"held at start, unloaded after the read", LeftHives::Unload, 1, 0, false, 0,
         ", cannot be unloaded yet: its user is read from it where it is, and it is unloaded at "
         "the end. Error 5: System text of 5."},
        {"held for good", LeftHives::Unload, 1000, 5, true, 0, ", cannot be unloaded yet"},
        {"a run that changes nothing leaves it", LeftHives::Leave, 0, 0, true, 0,
         ", is read where it is and left loaded."},
    };
    for (const HealingCase &c : cases) {
        FakeServices fresh;
        FakeRunOutput out;
        FakeUserProfiles machine;
        machine.users = profiles.users;
        machine.LeaveLoadedByEarlierRun(BobSid);
        machine.busyUnloads[left] = c.busyUnloads;
        const std::string bobs = "C:\\Users\\Bob\\Bob.mdb";
        fresh.files.AddFile(bobs);
        fresh.registry.Store(HKEY_USERS_VALUE, left + ProductKey, "Database", RegistryType::String,
                             bobs + "\0"s);
        int code = 0;
        {
            const ProgramSettingsLifetime lifetime;
            RunReport report(out);
            EveryUsersCopies everyone =
                FindEveryUsersCopies(fresh.Services(), machine, std::nullopt, report, c.leftHives);
            code = MoveEveryUsersCopies(fresh.Services(), everyone, Direction::SetAside).exitCode;
            const Outcome hives = UnloadHivesLeftLoaded(everyone);
            if (code == 0) {
                code = hives.exitCode;
            }
            out.lines.insert(out.lines.end(), hives.lines.begin(), hives.lines.end());
        }
        EXPECT_EQ(c.exitCode, code) << c.what << ::testing::PrintToString(out.lines);
        EXPECT_EQ(std::vector<std::string>{bobs + ".Advanced"}, fresh.files.Names())
            << c.what << ": the user is done from the hive where it is";
        EXPECT_EQ(c.loadedAfter, machine.loaded.count(left) == 1) << c.what;
        EXPECT_EQ(c.loads,
                  std::count_if(machine.events.begin(), machine.events.end(),
                                [](const std::string &e) { return e.rfind("load ", 0) == 0; }))
            << c.what << ": loaded again only once it is gone";
        const std::string expected =
            "HKEY_USERS\\" + left + ", left loaded by an earlier run" + c.line;
        EXPECT_TRUE(
            std::any_of(out.lines.begin(), out.lines.end(),
                        [&](const std::string &line) { return line.rfind(expected, 0) == 0; }))
            << c.what << ::testing::PrintToString(out.lines);
        if (c.loadedAfter && c.leftHives == LeftHives::Unload) {
            EXPECT_NE(std::string::npos, out.lines.back().find(" is still loaded at the end of "
                                                               "the run"))
                << out.lines.back();
        }
    }
}

TEST_F(AllUsersJobTest, AHeldHiveAnEarlierRunLeftForNoUserIsAFailure) {
    const std::string left = FakeUserProfiles::LoadedName("S-1-5-21-9-9-9-9");
    profiles.loaded.insert(left);
    profiles.busyUnloads[left] = 1000;
    fakes.files.AddFile(Default);
    EXPECT_EQ(5, Run());
    EXPECT_EQ(std::vector<std::string>{Default + ".Advanced"}, Files());
    EXPECT_NE(std::find(output.lines.begin(), output.lines.end(),
                        "HKEY_USERS\\" + left +
                            ", left loaded by an earlier run, stays loaded: no user of this "
                            "machine has it. Error 5: System text of 5."),
              output.lines.end())
        << ::testing::PrintToString(output.lines);
}

TEST_F(AllUsersJobTest, AHiveHeldForAMomentIsUnloadedAtTheEndAndIsNoFailure) {
    profiles.busyUnloads[FakeUserProfiles::LoadedName(BobSid)] = 1;
    fakes.files.AddFile(Default);
    EXPECT_EQ(0, Run()) << ::testing::PrintToString(output.lines);
    EXPECT_TRUE(profiles.loaded.empty());
    EXPECT_EQ("unlock", profiles.events.back()) << "the machine's users are held to the end";
}

// Only another run's hold is 32; any other failure to take the users is
// 1359, never a code a fleet reads as nothing to do or a reason to elevate.
TEST_F(AllUsersJobTest, WhenTheUsersCannotBeTakenNothingIsTouched) {
    const std::string lockFile = "C:\\Windows\\Logs\\Torvane\\EveryUser.lock";
    struct LockFailure {
        AppError failure;
        int exitCode;
        std::string line;
    };
    const LockFailure cases[] = {
        {AppError(ErrorCategory::Win32, 32, lockFile + ": Sharing violation.", "CreateFileW"), 32,
         "Nothing touched: another Torvane run is working on this machine's users. Error 32: " +
             lockFile + ": Sharing violation."},
        {AppError(ErrorCategory::Win32, 2, lockFile + ": Not found.", "CreateFileW"), 1359,
         "Nothing touched: cannot make sure no other Torvane run is working on this machine's "
         "users (error 2: " +
             lockFile + ": Not found.). Error 1359: System text of 1359."},
        {AppError(ErrorCategory::Refusal, 5, "the folder C:\\Windows\\Logs\\Torvane is a link",
                  "OpenLog"),
         1359,
         "Nothing touched: cannot make sure no other Torvane run is working on this machine's "
         "users (error 5: the folder C:\\Windows\\Logs\\Torvane is a link). Error 1359: System "
         "text of 1359."},
    };
    for (const LockFailure &c : cases) {
        FakeUserProfiles held;
        held.lockFailure = c.failure;
        FakeRunOutput lines;
        fakes.files.AddFile(Default);
        EXPECT_EQ(c.exitCode,
                  RunCommand(fakes.Services(), held, lines,
                             ParseCommandLine({"/quiet", "/allusers", "/log", "C:\\t.log"}),
                             "Torvane"));
        EXPECT_EQ(std::vector<std::string>{Default}, Files());
        EXPECT_TRUE(held.events.empty());
        EXPECT_EQ(std::vector<std::string>{c.line}, lines.lines);
    }
}

} // namespace
