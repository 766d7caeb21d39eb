#include "core/AllUsersJob.h"
#include "app/modMain.h"
#include "core/CommandJob.h"
#include "core/RunReport.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeUserProfiles.h"
#include "platform/PeoplesSids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

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
        profiles.AddUser(sid, "C:\\Users\\" + name, signedIn);
    }
    // The user's setting, in their hive as the run will find it.
    void StoreSetting(const std::string &sid, const std::string &path) {
        const FakeUserProfiles::User &user = UserOf(sid);
        const std::string hive = user.signedIn ? sid : OwnHiveName(sid);
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
    EXPECT_EQ((std::vector<std::string>{StoreOf("Ann"), StoreOf("Cy"), bobs}),
              fakes.files.OpenedInAllowedFolder());
    const std::string ann = "Ann (" + AnnSid + "): ";
    const std::string bob = "Bob (" + BobSid + "): ";
    const std::string cy = "Cy (" + CySid + "): ";
    // The shared file last, after every user's copy of it.
    const std::vector<std::string> expected{
        ann + "Renamed " + StoreOf("Ann") + " to " + StoreOf("Ann") + ".Advanced.",
        cy + "Renamed " + StoreOf("Cy") + " to " + StoreOf("Cy") + ".Advanced.",
        ann + "Renamed " + Default + " to " + Default + ".Advanced.",
        bob + "Renamed " + bobs + " to " + bobs + ".Advanced.",
        "Done for every user: 3 users, 4 copies renamed now, 0 found so already."};
    EXPECT_EQ(expected, output.lines);
}

TEST_F(AllUsersJobTest, AHiveLoadedForTheRunGoesBeforeTheNextUsersIsLoaded) {
    AddUser(CySid, "Cy", false);
    fakes.files.AddFile(Default);
    EXPECT_EQ(0, Run());
    const std::vector<std::string> expected{"lock",
                                            "look at HKEY_USERS",
                                            "load " + OwnHiveName(BobSid),
                                            "unload " + OwnHiveName(BobSid),
                                            "load " + OwnHiveName(CySid),
                                            "unload " + OwnHiveName(CySid),
                                            "unlock"};
    EXPECT_EQ(expected, profiles.events)
        << "Ann is signed in: her hive is read in place; HKEY_USERS is looked at once";
    EXPECT_TRUE(profiles.loaded.empty());
    // The settings store read each user's key in that user's hive.
    const std::vector<std::string> read{AnnSid + ProductKey, OwnHiveName(BobSid) + ProductKey,
                                        OwnHiveName(CySid) + ProductKey};
    EXPECT_EQ(read, fakes.registry.OpenedPaths());
}

struct ProfileCase {
    const char *what;
    std::function<void(FakeUserProfiles::User &bob, FakeServices &)> arrange;
    int exitCode;
    Names lines; // among the run's lines
    Names after;
    int unreachable;
};

// Bob is not signed in. Whatever stands in the way of his hive, every
// profile is done or says why not, and what can be done without his
// setting is done.
TEST_F(AllUsersJobTest, EveryProfileIsDoneOrSaysWhyNot) {
    const std::string bob = "Bob (" + BobSid + "): ";
    const std::string bobs = "C:\\Users\\Bob\\Bob.mdb";
    const std::string adv = ".Advanced";
    const std::string looking =
        "looking for copies of " + Default + " with Local AppData C:\\Users\\Bob\\AppData\\Local.";
    const AppError damaged(ErrorCategory::Win32, 1017, "Not a hive.", "RegLoadKeyW");
    const AppError inUse(ErrorCategory::Win32, 32, "Sharing violation.", "RegLoadKeyW");
    const std::string other = "S-1-5-21-1-2-3-1009";
    const ProfileCase cases[] = {
        {"no hive file", [](FakeUserProfiles::User &b, FakeServices &) { b.hasHiveFile = false; },
         0,
         Names{bob +
               "C:\\Users\\Bob has no NTUSER.DAT or NTUSER.MAN, so the user's settings cannot "
               "be read; " +
               looking},
         Names{Default + adv, StoreOf("Bob") + adv, bobs}, 0},
        {"a service's profile is no one's",
         [](FakeUserProfiles::User &b, FakeServices &) { b.profile.sid = "S-1-5-18"; }, 0, Names{},
         Names{Default + adv, StoreOf("Bob"), bobs}, 0},
        {"a folder that is gone",
         [](FakeUserProfiles::User &b, FakeServices &) { b.profile.folderError = 3; }, 0,
         Names{bob +
               "not done: the profile folder C:\\Users\\Bob cannot be reached (error 3: System "
               "text of 3.)."},
         Names{Default + adv, StoreOf("Bob"), bobs}, 1},
        {"a folder that cannot be read",
         [](FakeUserProfiles::User &b, FakeServices &) { b.profile.folderError = 5; }, 0,
         Names{bob +
               "not done: the profile folder C:\\Users\\Bob cannot be reached (error 5: System "
               "text of 5.)."},
         Names{Default + adv, StoreOf("Bob"), bobs}, 1},
        {"a hive that cannot be loaded",
         [&](FakeUserProfiles::User &b, FakeServices &) { b.loadFailure = damaged; }, 1017,
         Names{bob + "cannot read the user's settings. Error 1017: Not a hive.", bob + looking},
         Names{Default + adv, StoreOf("Bob") + adv, bobs}, 0},
        {"a hive file held, loaded by no one",
         [&](FakeUserProfiles::User &b, FakeServices &) { b.loadFailure = inUse; }, 32,
         Names{bob + "cannot read the user's settings. Error 32: Sharing violation.",
               bob + looking},
         Names{Default + adv, StoreOf("Bob") + adv, bobs}, 0},
        {"a hive file the system has loaded under another name",
         [&](FakeUserProfiles::User &b, FakeServices &f) {
             b.loadFailure = inUse;
             b.loadedAs = other;
             f.registry.Store(HKEY_USERS_VALUE, other + ProductKey, "Database",
                              RegistryType::String, bobs + "\0"s);
         },
         0, Names{bob + "Renamed " + bobs + " to " + bobs + adv + "."},
         Names{Default + adv, StoreOf("Bob"), bobs + adv}, 0},
    };
    for (const ProfileCase &c : cases) {
        FakeServices fresh;
        FakeUserProfiles machine;
        machine.users = profiles.users;
        fresh.application.elevated = true;
        for (const std::string &file : {Default, StoreOf("Bob"), bobs}) {
            fresh.files.AddFile(file);
        }
        c.arrange(machine.users[1], fresh);
        FakeRunOutput out;
        const ProgramSettingsLifetime lifetime;
        const int code = RunCommand(fresh.Services(), machine, out,
                                    ParseCommandLine({"/quiet", "/allusers"}), "Torvane");
        EXPECT_EQ(c.exitCode, code) << c.what << ::testing::PrintToString(out.lines);
        for (const std::string &line : c.lines) {
            EXPECT_NE(out.lines.end(), std::find(out.lines.begin(), out.lines.end(), line))
                << c.what << ": " << line << ::testing::PrintToString(out.lines);
        }
        std::vector<std::string> after = c.after;
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, fresh.files.Names()) << c.what;
        const std::string counted = c.unreachable == 0
                                        ? "not reachable"
                                        : std::to_string(c.unreachable) +
                                              (c.unreachable == 1 ? " profile" : " profiles") +
                                              " not reachable";
        EXPECT_EQ(c.unreachable != 0, out.lines.back().find(counted) != std::string::npos)
            << c.what << ": the summary counts the profiles not reached: " << out.lines.back();
        EXPECT_TRUE(machine.loaded.empty()) << c.what;
    }
}

enum class Verdict {
    Acted,
    LeftAlone, // by the rule on where the path is written
    Refused,   // by the system, where the file's final path leads
};

struct UsersWordCase {
    const char *what;
    std::string setting;
    Verdict verdict;
    std::string allowedFolder; // the one the system is to keep the file in
    bool storeCopy;            // Bob has his own VirtualStore copy of it
};

TEST_F(AllUsersJobTest, AUsersSettingNeverSteersTheRunBeyondWhatTheUserCouldDo) {
    const std::string x86 = "C:\\Program Files (x86)\\Quorvex\\db.mdb";
    const std::string profile = "C:\\Users\\Bob";
    const std::string quorvex = "C:\\Program Files\\Quorvex";
    const UsersWordCase cases[] = {
        {"an .mdb in the user's profile", "C:\\Users\\Bob\\db.mdb", Verdict::Acted, profile, false},
        {"an .mdb in Quorvex's folder, at any depth", "C:\\Program Files\\Quorvex\\a\\b\\db.mdb",
         Verdict::Acted, quorvex, false},
        {"an .mdb in Quorvex's 32-bit folder", x86, Verdict::Acted,
         "C:\\Program Files (x86)\\Quorvex", false},
        {"an .mdb in another program's folder", "C:\\Program Files\\Other\\db.mdb",
         Verdict::LeftAlone, "", false},
        {"a folder whose name only starts as Quorvex's", "C:\\Program Files\\Quorvex2\\db.mdb",
         Verdict::LeftAlone, "", false},
        {"an .mdb in ProgramData", "C:\\ProgramData\\Q\\db.MDB", Verdict::LeftAlone, "", false},
        {"the user's own copy of a path left alone", "C:\\ProgramData\\Q\\db.mdb",
         Verdict::LeftAlone, "", true},
        {"a link from Quorvex's folder to another program's", "C:\\Program Files\\Quorvex\\db.mdb",
         Verdict::Refused, quorvex, false},
        {"the profile through a compatibility junction", "C:\\Documents and Settings\\Bob\\db.mdb",
         Verdict::Acted, profile, false},
        {"an .mdb in another user's profile", "C:\\Users\\Ann\\db.mdb", Verdict::Refused, profile,
         false},
        {"an .mdb elsewhere", "D:\\Shared\\db.mdb", Verdict::Refused, profile, false},
        {"not an .mdb", "C:\\Users\\Bob\\notes.txt", Verdict::LeftAlone, "", false},
        {"a system file", "C:\\Windows\\System32\\config\\SAM", Verdict::LeftAlone, "", false},
    };
    for (const UsersWordCase &c : cases) {
        FakeServices fresh;
        FakeRunOutput out;
        fresh.application.elevated = true;
        fresh.registry.Store(HKEY_USERS_VALUE, OwnHiveName(BobSid) + ProductKey, "Database",
                             RegistryType::String, c.setting + "\0"s);
        fresh.files.AddFile(c.setting);
        if (c.verdict == Verdict::Refused) {
            fresh.files.openFailures.emplace(
                c.setting,
                AppError(ErrorCategory::Refusal, 5,
                         c.setting + " lies outside " + c.allowedFolder + ".", "OpenForMove"));
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
        std::vector<FakeFileSystem::MoveOpen> settingOpens;
        std::copy_if(fresh.files.moveOpens.begin(), fresh.files.moveOpens.end(),
                     std::back_inserter(settingOpens),
                     [&](const auto &open) { return open.from == c.setting; });
        const std::vector<FakeFileSystem::MoveOpen> expectedOpens =
            c.verdict == Verdict::LeftAlone
                ? std::vector<FakeFileSystem::MoveOpen>{}
                : std::vector<FakeFileSystem::MoveOpen>{
                      {c.setting, c.setting + ".Advanced", c.allowedFolder}};
        EXPECT_EQ(expectedOpens, settingOpens) << c.what;
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
    EXPECT_TRUE(fakes.files.OpenedInAllowedFolder().empty());
}

TEST_F(AllUsersJobTest, ExitCodesTellTheStateOfEveryUser) {
    EXPECT_EQ(2, Run()) << "no user has any copy";
    EXPECT_NE(std::string::npos, output.lines.back().find("Nothing to do for any user"))
        << output.lines.back();

    fakes.files.AddFile(Default + ".Advanced");
    EXPECT_EQ(0, Run()) << "already done";

    fakes.files.AddFile(StoreOf("Bob"));
    fakes.files.openFailures.emplace(
        StoreOf("Bob"), AppError(ErrorCategory::Win32, 32, "Sharing violation.", "MoveFileExW"));
    fakes.files.AddFile(StoreOf("Ann"));
    EXPECT_EQ(32, Run()) << "the first failure, after the rest is done";
    EXPECT_EQ(1u, fakes.files.files.count(StoreOf("Ann") + ".Advanced"));
}

struct ClaimCase {
    const char *what;
    std::optional<std::string> annsSetting;
    std::optional<std::string> bobsSetting;
    std::optional<std::string> annsLocalAppData;
    Names before;
    int exitCode;
    Names after;
    std::string annsLine; // the start of a line for Ann, or none
    // Where a link leads, by the path it is reached by.
    std::map<std::string, std::string> links = {};
};

// One user's setting never makes the run skip, refuse or claim a file of
// another user's, whichever of them comes first in ProfileList.
TEST_F(AllUsersJobTest, NoUsersSettingReachesAnotherUsersFiles) {
    const std::string bobs = "C:\\Users\\Bob\\Documents\\bob.mdb";
    const std::string adv = ".Advanced";
    const std::string bobsLocal = "C:\\Users\\Bob\\AppData\\Local";
    const std::string annsLink = "C:\\Users\\Ann\\Local";
    const ClaimCase cases[] = {
        {"Ann's setting names Bob's own file", bobs, bobs, std::nullopt, Names{bobs}, 0,
         Names{bobs + adv}, ""},
        {"Ann's setting names Bob's file, which Bob does not name", bobs, std::nullopt,
         std::nullopt, Names{bobs}, 5, Names{bobs}, "Nothing changed: cannot rename " + bobs},
        {"Ann's Local AppData is Bob's", std::nullopt, std::nullopt, bobsLocal,
         Names{Default, StoreOf("Bob")}, 0, Names{Default + adv, StoreOf("Bob") + adv},
         "the user's Local AppData, " + bobsLocal + ", lies outside C:\\Users\\Ann"},
        {"Ann's Local AppData leads to Bob's through a link in her profile",
         std::nullopt,
         std::nullopt,
         annsLink,
         Names{Default, StoreOf("Bob")},
         0,
         Names{Default + adv, StoreOf("Bob") + adv},
         "the user's Local AppData, " + annsLink + ", lies outside C:\\Users\\Ann",
         {{annsLink, bobsLocal}}},
    };
    for (const ClaimCase &c : cases) {
        for (const bool annFirst : {true, false}) {
            FakeServices fresh;
            FakeRunOutput out;
            FakeUserProfiles machine;
            fresh.application.elevated = true;
            machine.users = profiles.users;
            machine.users[0].localAppData = c.annsLocalAppData;
            if (!annFirst) {
                std::swap(machine.users[0], machine.users[1]);
            }
            const auto store = [&](const std::string &hive,
                                   const std::optional<std::string> &path) {
                if (path) {
                    fresh.registry.Store(HKEY_USERS_VALUE, hive + ProductKey, "Database",
                                         RegistryType::String, *path + "\0"s);
                }
            };
            store(AnnSid, c.annsSetting);
            store(OwnHiveName(BobSid), c.bobsSetting);
            for (const std::string &file : c.before) {
                fresh.files.AddFile(file);
            }
            fresh.files.finalPaths = c.links;
            // The system refuses what Ann's setting names outside her profile.
            fresh.files.refusedIn.emplace(
                "C:\\Users\\Ann",
                AppError(ErrorCategory::Refusal, 5, "Outside the profile.", "OpenForMove"));
            const ProgramSettingsLifetime lifetime;
            const std::string order = annFirst ? ", Ann first" : ", Bob first";
            EXPECT_EQ(c.exitCode, RunCommand(fresh.Services(), machine, out,
                                             ParseCommandLine({"/quiet", "/allusers"}), "Torvane"))
                << c.what << order << ::testing::PrintToString(out.lines);
            EXPECT_EQ(c.after, fresh.files.Names()) << c.what << order;
            const std::string ann = "Ann (" + AnnSid + "): ";
            const bool annSaid =
                std::any_of(out.lines.begin(), out.lines.end(), [&](const std::string &line) {
                    return !c.annsLine.empty() && line.rfind(ann + c.annsLine, 0) == 0;
                });
            EXPECT_EQ(!c.annsLine.empty(), annSaid)
                << c.what << order << ::testing::PrintToString(out.lines);
        }
    }
}

struct GroupCase {
    const char *what;
    Names before;
    std::function<void(FakeServices &)> arrange;
    int exitCode;
    Names after;
    std::string summary;
};

// The shared file and every user's VirtualStore copy of it move together:
// while none of them is set aside, one in use holds back the whole group;
// one that needs a person holds back nobody; a split group is finished
// member by member; a race moves back what the group had moved. A group
// never holds back another.
TEST_F(AllUsersJobTest, AFileAndItsCopiesMoveTogether) {
    const AppError inUse(ErrorCategory::Win32, 32, "Sharing violation.", "CreateFileW");
    const AppError denied(ErrorCategory::Win32, 5, "Access is denied.", "CreateFileW");
    const std::string adv = ".Advanced";
    const std::string ann = " for Ann (" + AnnSid + "): error ";
    const GroupCase cases[] = {
        {"one user's copy in use", Names{Default, StoreOf("Ann"), StoreOf("Bob")},
         [&](FakeServices &f) { f.files.openFailures.emplace(StoreOf("Ann"), inUse); }, 32,
         Names{Default, StoreOf("Ann"), StoreOf("Bob")},
         "Not done for every user: 2 users, 0 copies renamed now, 0 found so already; " +
             StoreOf("Ann") + " in use" + ann + "32."},
        {"the shared file in use", Names{Default, StoreOf("Ann"), StoreOf("Bob")},
         [&](FakeServices &f) { f.files.openFailures.emplace(Default, inUse); }, 32,
         Names{Default, StoreOf("Ann"), StoreOf("Bob")},
         "Not done for every user: 2 users, 0 copies renamed now, 0 found so already; " + Default +
             " in use" + ann + "32."},
        {"one user's copy at both names",
         Names{Default, StoreOf("Ann"), StoreOf("Ann") + adv, StoreOf("Bob")}, nullptr, 183,
         Names{Default + adv, StoreOf("Ann"), StoreOf("Ann") + adv, StoreOf("Bob") + adv},
         "Not done for every user: 2 users, 2 copies renamed now, 0 found so already; both " +
             StoreOf("Ann") + " and " + StoreOf("Ann") + adv + " hold a file" + ann + "183."},
        {"one user's setting refused, in a group of its own", Names{Default, "D:\\Shared\\db.mdb"},
         [&](FakeServices &f) {
             f.registry.Store(HKEY_USERS_VALUE, OwnHiveName(BobSid) + ProductKey, "Database",
                              RegistryType::String, "D:\\Shared\\db.mdb\0"s);
             f.files.refusedIn.emplace(
                 "C:\\Users\\Bob",
                 AppError(ErrorCategory::Refusal, 5, "Outside the profile.", "OpenForMove"));
         },
         5, Names{Default + adv, "D:\\Shared\\db.mdb"},
         "Not done for every user: 2 users, 1 copy renamed now, 0 found so already; "
         "D:\\Shared\\db.mdb cannot be renamed for Bob (" +
             BobSid + "): error 5."},
        {"a split group with a copy in use", Names{Default + adv, StoreOf("Ann"), StoreOf("Bob")},
         [&](FakeServices &f) { f.files.openFailures.emplace(StoreOf("Ann"), inUse); }, 32,
         Names{Default + adv, StoreOf("Ann"), StoreOf("Bob") + adv},
         "Not done for every user: 2 users, 1 copy renamed now, 1 found so already; " +
             StoreOf("Ann") + " in use" + ann + "32."},
        {"a race: the shared file's rename fails once the group is open",
         Names{Default, StoreOf("Ann"), StoreOf("Bob")},
         [&](FakeServices &f) { f.files.renameFailures.emplace(Default, inUse); }, 32,
         Names{Default, StoreOf("Ann"), StoreOf("Bob")},
         "Not done for every user: 2 users, 0 copies renamed now, 0 found so already; " + Default +
             " in use" + ann + "32."},
        {"a move back that fails outranks every other failure",
         Names{Default, StoreOf("Ann"), StoreOf("Bob")},
         [&](FakeServices &f) {
             f.files.renameFailures.emplace(Default, inUse);
             f.files.openFailures.emplace(StoreOf("Ann") + adv, denied);
         },
         5, Names{Default, StoreOf("Ann") + adv, StoreOf("Bob")},
         "Not done for every user: 2 users, 0 copies renamed now, 0 found so already; " +
             StoreOf("Ann") + adv + " not moved back to " + StoreOf("Ann") + ann + "5."},
        {"a split group is finished", Names{Default + adv, StoreOf("Bob")}, nullptr, 0,
         Names{Default + adv, StoreOf("Bob") + adv},
         "Done for every user: 2 users, 1 copy renamed now, 1 found so already."},
        {"nothing anywhere", Names{}, nullptr, 2, Names{},
         "Nothing to do for any user: 2 users, 0 copies renamed now, 0 found so already; no user "
         "has the database: error 2."},
    };
    for (const GroupCase &c : cases) {
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
            << c.what << ::testing::PrintToString(out.lines);
        std::vector<std::string> after = c.after;
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, fresh.files.Names()) << c.what;
        ASSERT_FALSE(out.lines.empty()) << c.what;
        EXPECT_EQ(c.summary, out.lines.back()) << c.what;
        EXPECT_TRUE(fresh.files.heldNow == 0) << c.what << ": every handle is let go";
    }
}

// Each member of a group held back by one in use says what it waits for.
TEST_F(AllUsersJobTest, AGroupHeldBackSaysWhatEachMemberWaitsFor) {
    const AppError inUse(ErrorCategory::Win32, 32, "Sharing violation.", "CreateFileW");
    fakes.files.AddFile(Default);
    fakes.files.AddFile(StoreOf("Ann"));
    fakes.files.AddFile(StoreOf("Bob"));
    fakes.files.openFailures.emplace(StoreOf("Bob"), inUse);
    EXPECT_EQ(32, Run());
    const std::string ann = "Ann (" + AnnSid + "): ";
    const std::vector<std::string> expected{
        ann + "Not renamed: " + StoreOf("Ann") + ": waits for " + StoreOf("Bob") + ".",
        "Bob (" + BobSid + "): Nothing changed: cannot rename " + StoreOf("Bob") + " to " +
            StoreOf("Bob") + ".Advanced. Error 32: Sharing violation.",
        ann + "Not renamed: " + Default + ": waits for " + StoreOf("Bob") + ".",
        "Not done for every user: 2 users, 0 copies renamed now, 0 found so already; " +
            StoreOf("Bob") + " in use for Bob (" + BobSid + "): error 32."};
    EXPECT_EQ(expected, output.lines);
    EXPECT_EQ(32, Run({"/check", "/allusers"}));
    EXPECT_EQ("Ann (" + AnnSid + "): Would not rename " + Default + ": waits for " +
                  StoreOf("Bob") + ".",
              output.lines[output.lines.size() - 2]);

    // A rename that fails once the group is open holds back the rest of it.
    FakeServices raced = fakes;
    raced.files.openFailures.clear();
    raced.files.renameFailures.emplace(StoreOf("Ann"), inUse);
    FakeRunOutput out;
    EXPECT_EQ(32, RunCommand(raced.Services(), profiles, out,
                             ParseCommandLine({"/quiet", "/allusers"}), "Torvane"));
    EXPECT_NE(out.lines.end(), std::find(out.lines.begin(), out.lines.end(),
                                         "Bob (" + BobSid + "): Not renamed: " + StoreOf("Bob") +
                                             ": waits for " + StoreOf("Ann") + "."))
        << ::testing::PrintToString(out.lines);
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

// A run that ends early, its log refused after the search, still unloads
// every hive and says which one stays.
TEST_F(AllUsersJobTest, ARunRefusedAfterTheSearchStillAccountsForEveryHive) {
    const std::string bobs = "C:\\Users\\Bob\\Bob.mdb";
    StoreSetting(BobSid, bobs);
    fakes.files.AddFile(bobs);
    profiles.holds[OwnHiveName(BobSid)] = {};
    EXPECT_EQ(87, Run({"/quiet", "/allusers", "/log", bobs + ":stream"}));
    EXPECT_EQ(std::vector<std::string>{bobs}, Files());
    EXPECT_NE(std::string::npos, output.lines.back().find(" is still loaded at the end of the run"))
        << ::testing::PrintToString(output.lines);
}

// Ctrl+C: once the run is asked to stop, no further hive is read and no
// further group moves; the run says so and ends with 1223.
TEST_F(AllUsersJobTest, AStoppedRunMovesNoFurtherGroupAndEndsWith1223) {
    const std::string bobs = "C:\\Users\\Bob\\Bob.mdb";
    StoreSetting(BobSid, bobs);
    fakes.files.AddFile(Default);
    fakes.files.AddFile(bobs);
    struct StopCase {
        const char *what;
        int asksBeforeStop; // the stop flag's answers that are still "go on"
        std::vector<std::string> after;
    };
    const StopCase cases[] = {
        {"before the first user", 0, {Default, bobs}},
        {"after the users, before the groups", 2, {Default, bobs}},
        {"between the groups", 3, {Default + ".Advanced", bobs}},
    };
    for (const StopCase &c : cases) {
        FakeServices fresh = fakes;
        FakeRunOutput out;
        FakeUserProfiles machine;
        machine.users = profiles.users;
        int asked = 0;
        const int code =
            RunCommand(fresh.Services(), machine, out, ParseCommandLine({"/quiet", "/allusers"}),
                       "Torvane", [&] { return asked++ >= c.asksBeforeStop; });
        EXPECT_EQ(1223, code) << c.what << ::testing::PrintToString(out.lines);
        EXPECT_EQ(c.after, fresh.files.Names()) << c.what;
        EXPECT_TRUE(machine.loaded.empty()) << c.what;
        EXPECT_NE(out.lines.end(), std::find_if(out.lines.begin(), out.lines.end(),
                                                [](const std::string &line) {
                                                    return line.rfind("Stopped: ", 0) == 0;
                                                }))
            << c.what << ::testing::PrintToString(out.lines);
    }
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
