// What a run for every user does with a hive that is loaded, held, left or
// stranded: decided once above the providers, here over a fake that only
// records the primitives, on a clock whose pauses pass at once.

#include "core/UserHives.h"
#include "app/modMain.h"
#include "core/CommandJob.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeUserProfiles.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace std::string_literals;
using std::chrono::milliseconds;

const std::string AnnSid = "S-1-5-21-1-2-3-1001";
const std::string BobSid = "S-1-5-21-1-2-3-1002";
const std::string Bobs = "C:\\Users\\Bob\\Bob.mdb";
const std::string ProductKey = "\\SOFTWARE\\Kestrova\\Quorvex\\Defaults";
// Left by an earlier run for a profile that is gone.
const std::string Stranded = OwnHiveName("S-1-5-21-9-9-9-9");
const std::vector<std::string> Quiet{"/quiet", "/allusers"};
const std::vector<std::string> Check{"/check", "/allusers"};

// Ten seconds of asking after a held hive, the pauses growing.
const std::vector<long long> TenSeconds{50,   100,  200,  400,  800,  1000, 1000,
                                        1000, 1000, 1000, 1000, 1000, 1000, 450};

std::vector<long long> Then(std::vector<long long> first, const std::vector<long long> &second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

using Names = std::vector<std::string>;
using Pauses = std::vector<long long>;
using Hold = FakeUserProfiles::Hold;

struct HiveCase {
    const char *what;
    std::vector<std::string> arguments;
    Names leftEarlier;               // loaded when the run starts
    std::optional<std::string> held; // by another process: Bob's, or one left
    Hold hold;                       // how
    int exitCode;                    // of the run
    Pauses pauses;                   // the waits, in milliseconds
    int unloads;                     // tries, each recorded
    int loads;                       // of Bob's hive by the run
    Names loadedAfter;               // under HKEY_USERS, of Torvane's names
    std::string line;                // written by the run, in part
};

// Ann is signed in; Bob is not, and his setting names his own database.
TEST(UserHivesTest, AHiveIsUnloadedWaitedForHealedOrLeftAsTheRunSays) {
    const std::string bob = OwnHiveName(BobSid);
    const HiveCase cases[] = {
        {"loaded for the run, gone after the read", Quiet, Names{}, std::nullopt, Hold{}, 0,
         Pauses{}, 1, 1, Names{}, "Bob (" + BobSid + "): Renamed " + Bobs},
        {"held for a moment, waited for", Quiet, Names{}, bob, Hold{5, milliseconds(120)}, 0,
         Pauses{50, 100}, 3, 1, Names{}, "Done for every user"},
        {"a sharing violation is a hold too", Quiet, Names{}, bob, Hold{32, milliseconds(10)}, 0,
         Pauses{50}, 2, 1, Names{}, "Done for every user"},
        {"another failure is not waited for, tried again at the end", Quiet, Names{}, bob,
         Hold{1009}, 1009, Pauses{}, 2, 1, Names{bob},
         "Bob (" + BobSid + "): the user's hive " + bob +
             " stays loaded. Error 1009: System text of 1009."},
        {"held past the wait, unloaded at the end of the run", Quiet, Names{}, bob,
         Hold{5, milliseconds(12000)}, 0, Then(TenSeconds, {50, 100, 200, 400, 800, 1000}), 22, 1,
         Names{}, "Bob (" + BobSid + "): the user's hive " + bob + " stays loaded. Error 5"},
        {"held for good: the user cannot sign in", Quiet, Names{}, bob, Hold{}, 5,
         Then(TenSeconds, TenSeconds), 30, 1, Names{bob},
         "Bob (" + BobSid + "): the user's hive HKEY_USERS\\" + bob +
             " is still loaded at the end of the run, which keeps the user from signing in until "
             "it is unloaded. Error 5: System text of 5."},
        {"left by an earlier run, healed first", Quiet, Names{bob}, std::nullopt, Hold{}, 0,
         Pauses{}, 2, 1, Names{},
         "HKEY_USERS\\" + bob + ", left loaded by an earlier run, was unloaded."},
        {"left and held a moment, waited for", Quiet, Names{bob}, bob, Hold{5, milliseconds(120)},
         0, Pauses{50, 100}, 4, 1, Names{}, ", left loaded by an earlier run, was unloaded."},
        {"left and held past the wait: read where it is, unloaded at the end", Quiet, Names{bob},
         bob, Hold{5, milliseconds(12000)}, 0, Then(TenSeconds, {50, 100, 200, 400, 800, 1000}), 22,
         0, Names{},
         "HKEY_USERS\\" + bob +
             ", left loaded by an earlier run, cannot be unloaded yet: its user is read from it "
             "where it is, and it is unloaded at the end. Error 5: System text of 5."},
        {"left and held for good", Quiet, Names{bob}, bob, Hold{}, 5, Then(TenSeconds, TenSeconds),
         30, 0, Names{bob}, " is still loaded at the end of the run"},
        {"a check reads a left one where it is and leaves it", Check, Names{bob}, std::nullopt,
         Hold{}, 1, Pauses{}, 0, 0, Names{bob},
         "HKEY_USERS\\" + bob +
             ", left loaded by an earlier run, is read where it is and "
             "left loaded."},
        {"stranded: left for no user, held for good", Quiet, Names{Stranded}, Stranded, Hold{}, 5,
         TenSeconds, 16, 1, Names{Stranded},
         "HKEY_USERS\\" + Stranded +
             ", left loaded by an earlier run, stays loaded: no user of this machine has it. "
             "Error 5: System text of 5."},
    };
    for (const HiveCase &c : cases) {
        FakeServices fakes;
        FakeUserProfiles profiles;
        FakeRunOutput output;
        fakes.application.elevated = true;
        profiles.AddUser(AnnSid, "C:\\Users\\Ann", true);
        profiles.AddUser(BobSid, "C:\\Users\\Bob");
        profiles.loaded.insert(c.leftEarlier.begin(), c.leftEarlier.end());
        if (c.held) {
            profiles.holds[*c.held] = c.hold;
        }
        fakes.files.AddFile(Bobs);
        fakes.registry.Store(HKEY_USERS_VALUE, OwnHiveName(BobSid) + ProductKey, "Database",
                             RegistryType::String, Bobs + "\0"s);
        if (c.arguments == Check) {
            fakes.files.changesForbidden = true;
            fakes.registry.changesForbidden = true;
        }
        int exitCode = 0;
        {
            const ProgramSettingsLifetime lifetime;
            exitCode = RunCommand(fakes.Services(), profiles, output, ParseCommandLine(c.arguments),
                                  "Torvane");
        }
        const auto count = [&](const std::string &start) {
            return std::count_if(profiles.events.begin(), profiles.events.end(),
                                 [&](const std::string &e) { return e.rfind(start, 0) == 0; });
        };
        const std::string lines = ::testing::PrintToString(output.lines);
        EXPECT_EQ(c.exitCode, exitCode) << c.what << lines;
        EXPECT_EQ(c.pauses, profiles.clock.pauses) << c.what;
        EXPECT_EQ(c.unloads, count("unload ")) << c.what;
        EXPECT_EQ(c.loads, count("load " + OwnHiveName(BobSid))) << c.what;
        EXPECT_EQ(std::set<std::string>(c.loadedAfter.begin(), c.loadedAfter.end()),
                  profiles.loaded)
            << c.what;
        EXPECT_TRUE(std::any_of(
            output.lines.begin(), output.lines.end(),
            [&](const std::string &line) { return line.find(c.line) != std::string::npos; }))
            << c.what << ": " << c.line << lines;
        if (c.arguments == Quiet) {
            EXPECT_EQ(std::vector<std::string>{Bobs + ".Advanced"}, fakes.files.Names())
                << c.what << ": Bob is done from his hive wherever it is";
        }
        EXPECT_EQ("unlock", profiles.events.back()) << c.what << ": held to the end";
    }
}

// A path that throws past Unload: the hive still goes when its owner does.
TEST(UserHivesTest, AHiveNotUnloadedIsUnloadedWhenItGoes) {
    FakeServices fakes;
    FakeUserProfiles profiles;
    const UserProfile bob = profiles.AddUser(BobSid, "C:\\Users\\Bob").profile;
    UserHives hives(profiles, fakes.application, LeftHives::Unload);
    hives.FindLeftHives();
    hives.Open(bob).reset();
    EXPECT_TRUE(profiles.loaded.empty());
    EXPECT_EQ((std::vector<std::string>{"look at HKEY_USERS", "load " + OwnHiveName(BobSid),
                                        "unload " + OwnHiveName(BobSid)}),
              profiles.events);
}

} // namespace
