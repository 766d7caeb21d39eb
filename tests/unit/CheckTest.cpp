// The one decision, printed by /check: each state of the copies gives its
// lines and its exit code, the check changes nothing (the fakes throw on any
// change) and loads only the hives a run loads, and its code is what the run
// over the same state says: 1 when the run renames a copy, else the run's.

#include "app/modMain.h"
#include "core/CommandJob.h"
#include "core/UserHives.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeUserProfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

using namespace std::string_literals;

const std::string Db = "D:\\Data\\QvxData.mdb";
const std::string Renamed = Db + ".Advanced";
const std::string Default = "C:\\Program Files\\Quorvex\\QvxData.mdb";
const std::string Store =
    "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files\\Quorvex\\QvxData.mdb";
const std::string BobStore =
    "C:\\Users\\Bob\\AppData\\Local\\VirtualStore\\Program Files\\Quorvex\\QvxData.mdb";
// Bob's VirtualStore copy of another program's database, his own to set aside.
const std::string BobOther =
    "C:\\Users\\Bob\\AppData\\Local\\VirtualStore\\Program Files\\Other\\db.mdb";
const std::string AnnSid = "S-1-5-21-1-2-3-1001";
const std::string BobSid = "S-1-5-21-1-2-3-1002";
const std::string Ann = "Ann (" + AnnSid + "): ";
const std::string Bob = "Bob (" + BobSid + "): ";

const AppError InUse(ErrorCategory::Win32, 32, "Sharing violation.", "CreateFileW");
const AppError Incorrect(ErrorCategory::Win32, 1, "Incorrect function.", "CreateFileW");

using Names = std::vector<std::string>;

struct CheckCase {
    const char *name;
    Names arguments; // of the run; /check takes /quiet's place
    Names before;
    std::function<void(FakeServices &)> arrange;
    int exitCode; // of the check
    Names lines;
    bool logFails = false;
};

struct Ran {
    int exitCode;
    FakeServices fakes;
    FakeUserProfiles profiles;
    FakeRunOutput output;
};

// Ann is signed in; Bob is not, so a run for every user loads his hive.
void RunOver(Ran &ran, const CheckCase &c, std::vector<std::string> arguments, bool check) {
    for (const std::string &file : c.before) {
        ran.fakes.files.AddFile(file);
    }
    ran.fakes.application.elevated = true;
    ran.profiles.AddUser(AnnSid, "C:\\Users\\Ann", true);
    ran.profiles.AddUser(BobSid, "C:\\Users\\Bob");
    if (c.arrange) {
        c.arrange(ran.fakes);
    }
    if (c.logFails) {
        ran.output.logFailure = AppError(ErrorCategory::Win32, 3, "No path.", "CreateFileW");
    }
    if (check) {
        std::replace(arguments.begin(), arguments.end(), "/quiet"s, "/check"s);
        ran.fakes.files.changesForbidden = true;
        ran.fakes.registry.changesForbidden = true;
    }
    const ProgramSettingsLifetime lifetime;
    ran.exitCode = RunCommand(ran.fakes.Services(), ran.profiles, ran.output,
                              ParseCommandLine(arguments), "Torvane");
}

std::size_t Count(const std::vector<std::string> &events, const std::string &what) {
    return std::count_if(events.begin(), events.end(),
                         [&](const std::string &event) { return event.rfind(what, 0) == 0; });
}

TEST(CheckTest, ThePlanOfEachStateIsPrintedAndEndsInItsCodeChangingNothing) {
    const std::vector<std::string> quiet{"/quiet", "/path", Db};
    const std::vector<std::string> restore{"/restore", "/quiet", "/path", Db};
    const std::vector<std::string> everyone{"/quiet", "/allusers"};
    const CheckCase cases[] = {
        {"a database", quiet, Names{Db}, nullptr, 1,
         Names{"Would rename " + Db + " to " + Renamed + ".",
               "Would change 1 copy; 0 already so."}},
        {"already set aside", quiet, Names{Renamed}, nullptr, 0,
         Names{"Already set aside: " + Renamed + ".", "Would change 0 copies; 1 already so."}},
        {"both names", quiet, Names{Db, Renamed}, nullptr, 183,
         Names{"Would stop: " + Db + " and " + Renamed +
                   " both exist. Error 183: System text of 183.",
               "Would change 0 copies; 0 already so; both " + Db + " and " + Renamed +
                   " hold a file: error 183."}},
        {"nothing", quiet, Names{}, nullptr, 2,
         Names{"No database here: neither " + Db + " nor " + Renamed + " holds a file.",
               "Would change 0 copies; 0 already so; no copy holds a file: error 2."}},
        {"a hidden file", quiet, Names{},
         [](FakeServices &f) { f.files.others[Db] = PathKind::HiddenFile; }, 2,
         Names{"No database here: neither " + Db + " nor " + Renamed + " holds a file; " + Db +
                   " is a hidden file: not renamed.",
               "Would change 0 copies; 0 already so; no copy holds a file: error 2."}},
        {"in use", quiet, Names{Db}, [](FakeServices &f) { f.files.openFailure = InUse; }, 32,
         Names{"Would fail: cannot rename " + Db + " to " + Renamed +
                   ". Error 32: Sharing violation.",
               "Would change 0 copies; 0 already so; " + Db + " in use: error 32."}},
        {"Win32 error 1", quiet, Names{Db},
         [](FakeServices &f) { f.files.openFailure = Incorrect; }, 31,
         Names{"Would fail: cannot rename " + Db + " to " + Renamed +
                   ". Error 1: Incorrect function.",
               "Would change 0 copies; 0 already so; " + Db + " cannot be renamed: error 31."}},
        {"a wildcard", Names{"/quiet", "/path", "D:\\Data\\Q*"}, Names{Db}, nullptr, 123,
         Names{"Would fail: D:\\Data\\Q* holds a wildcard (* or ?), so it names no one file. Error "
               "123: System text of 123.",
               "Would change 0 copies; 0 already so; D:\\Data\\Q* holds a wildcard: error 123."}},
        {"to restore", restore, Names{Renamed}, nullptr, 1,
         Names{"Would rename " + Renamed + " to " + Db + ".",
               "Would change 1 copy; 0 already so."}},
        {"already restored", restore, Names{Db}, nullptr, 0,
         Names{"Already restored: " + Db + ".", "Would change 0 copies; 1 already so."}},
        {"the VirtualStore copy and the file", Names{"/quiet"}, Names{Store, Default}, nullptr, 1,
         Names{"Would rename " + Store + " to " + Store + ".Advanced.",
               "Would rename " + Default + " to " + Default + ".Advanced.",
               "Would change 2 copies; 0 already so."}},
        {"the VirtualStore copy in use stops the run before the file", Names{"/quiet"},
         Names{Store, Default}, [](FakeServices &f) { f.files.openFailures.emplace(Store, InUse); },
         32,
         Names{"Would fail: cannot rename " + Store + " to " + Store +
                   ".Advanced. Error 32: Sharing violation.",
               "Would not rename " + Default + ": the run stops at " + Store + ".",
               "Would change 0 copies; 0 already so; " + Store + " in use: error 32."}},
        {"the file in use after the VirtualStore copy", Names{"/quiet"}, Names{Store, Default},
         [](FakeServices &f) { f.files.openFailures.emplace(Default, InUse); }, 1,
         Names{"Would rename " + Store + " to " + Store + ".Advanced.",
               "Would fail: cannot rename " + Default + " to " + Default +
                   ".Advanced. Error 32: Sharing violation.",
               "Would change 1 copy; 0 already so."}},
        {"every user, one copy in use holds back its group", everyone,
         Names{Default, Store, BobStore},
         [](FakeServices &f) { f.files.openFailures.emplace(Store, InUse); }, 32,
         Names{Ann + "Would fail: cannot rename " + Store + " to " + Store +
                   ".Advanced. Error 32: Sharing violation.",
               Bob + "Would not rename " + BobStore + ": waits for " + Store + ".",
               Ann + "Would not rename " + Default + ": waits for " + Store + ".",
               "Would change 0 copies; 0 already so; " + Store + " in use for Ann (" + AnnSid +
                   "): error 32."}},
        {"every user, done", everyone, Names{Default + ".Advanced", BobStore + ".Advanced"},
         nullptr, 0,
         Names{Ann + "No database here: neither " + Store + " nor " + Store +
                   ".Advanced holds a file.",
               Bob + "Already set aside: " + BobStore + ".Advanced.",
               Ann + "Already set aside: " + Default + ".Advanced.",
               "Would change 0 copies; 2 already so."}},
        {"every user, a setting left alone", everyone, Names{"C:\\Program Files\\Other\\db.mdb"},
         [](FakeServices &f) {
             f.registry.Store(
                 HKEY_USERS_VALUE, OwnHiveName(BobSid) + "\\SOFTWARE\\Kestrova\\Quorvex\\Defaults",
                 "Database", RegistryType::String, "C:\\Program Files\\Other\\db.mdb\0"s);
         },
         5,
         Names{
             Ann + "No database here: neither " + Store + " nor " + Store +
                 ".Advanced holds a file.",
             Ann + "No database here: neither " + Default + " nor " + Default +
                 ".Advanced holds a file.",
             Bob + "No database here: neither " + BobOther + " nor " + BobOther +
                 ".Advanced holds a file.",
             Bob +
                 "Would leave alone: C:\\Program Files\\Other\\db.mdb lies in C:\\Program Files "
                 "but "
                 "not in C:\\Program Files\\Quorvex or C:\\Program Files (x86)\\Quorvex. Error 5: "
                 "System text of 5.",
             "Would change 0 copies; 0 already so; C:\\Program Files\\Other\\db.mdb left alone for "
             "Bob (" +
                 BobSid + "): error 5."}},
        {"every user, without administrator rights", everyone, Names{Default},
         [](FakeServices &f) { f.application.elevated = false; }, 740,
         Names{"Nothing touched: /allusers acts for every user, which needs administrator rights "
               "(run it elevated or as System). Error 740: System text of 740."}},
        {"a bad command line", Names{"/quiet", "/path", Db, "/log", Db}, Names{Db}, nullptr, 87,
         Names{}},
        {"a log that cannot be opened", Names{"/quiet", "/path", Db, "/log", "Q:\\t.log"},
         Names{Db}, nullptr, 110,
         Names{"Nothing changed: cannot open the log Q:\\t.log (error 3: No path.). Error 110: "
               "System "
               "text of 110."},
         true},
    };
    for (const CheckCase &c : cases) {
        Ran check;
        RunOver(check, c, c.arguments, true);
        EXPECT_EQ(c.exitCode, check.exitCode) << c.name;
        if (!c.lines.empty()) {
            EXPECT_EQ(c.lines, check.output.lines) << c.name;
        }
        EXPECT_TRUE(check.fakes.dialogs.messages.empty()) << c.name;
        EXPECT_EQ(Count(check.profiles.events, "load "), Count(check.profiles.events, "unload "))
            << c.name;
        EXPECT_TRUE(check.profiles.loaded.empty()) << c.name;

        // The run over the same state: what the check says it would do.
        Ran run;
        RunOver(run, c, c.arguments, false);
        std::vector<std::string> before = c.before;
        std::sort(before.begin(), before.end());
        const bool renamedAny = run.fakes.files.Names() != before;
        const int expected = renamedAny ? 1 : run.exitCode == 1 ? 31 : run.exitCode;
        EXPECT_EQ(expected, check.exitCode) << c.name;
        EXPECT_EQ(run.profiles.events, check.profiles.events) << c.name;
    }
}

TEST(CheckTest, AChecksLogIsTheOneThingItCreates) {
    CheckCase c{"logged", {"/check", "/path", Db, "/log", "C:\\t.log"}, {Db}, {}, 1, {}};
    Ran check;
    RunOver(check, c, c.arguments, true);
    EXPECT_EQ(1, check.exitCode);
    EXPECT_EQ(check.output.lines, check.output.logLines);
    EXPECT_EQ(std::vector<std::string>{Db}, check.fakes.files.Names());
    EXPECT_EQ(std::vector<std::string>{Db}, check.fakes.files.letGo)
        << "the rename's own open, let go, not a look of its own";
}

// A run would unload it first; the check reads the user from it and leaves
// it as it found it.
TEST(CheckTest, AHiveAnEarlierRunLeftIsReadWhereItIsAndLeftLoaded) {
    const CheckCase c{"left loaded", {"/quiet", "/allusers"}, {BobStore}, {}, 1, {}};
    Ran check;
    check.profiles.loaded.insert(OwnHiveName(BobSid));
    RunOver(check, c, c.arguments, true);
    EXPECT_EQ(1, check.exitCode);
    EXPECT_EQ(std::set<std::string>{OwnHiveName(BobSid)}, check.profiles.loaded);
    EXPECT_EQ(0U, Count(check.profiles.events, "unload "))
        << ::testing::PrintToString(check.profiles.events);
    const std::vector<std::string> &lines = check.output.lines;
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(),
                                     "HKEY_USERS\\" + OwnHiveName(BobSid) +
                                         ", left loaded by an earlier run, is read where it is "
                                         "and left loaded."))
        << ::testing::PrintToString(lines);
    EXPECT_NE(lines.end(),
              std::find(lines.begin(), lines.end(),
                        Bob + "Would rename " + BobStore + " to " + BobStore + ".Advanced."))
        << ::testing::PrintToString(lines);
}

} // namespace
