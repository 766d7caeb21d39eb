// Where a run's log may be written: what a privileged run makes, and what
// it refuses to use because a user could have planted it.

#include "platform/LogPlace.h"
#include "base/AppError.h"
#include "fakes/FakeLogPlaces.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string Root = "C:\\ProgramData";
const std::string Torvane = Root + "\\Torvane";
const std::string Logs = Torvane + "\\Logs";
const std::string Log = Logs + "\\Torvane.log";
const std::string Sddl = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
const std::string User = "S-1-5-21-9-9-9-1001";
const std::string TrustedInstaller =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

LogPlaceEntry Link() { return {true, "S-1-5-18", "NT AUTHORITY\\SYSTEM", {}, 1}; }
LogPlaceEntry UsersOwn() { return FakeLogPlaces::Owned(User, "PC\\ann"); }

struct PlaceCase {
    const char *what;
    bool privileged;
    std::function<void(FakeLogPlaces &)> arrange;
    std::vector<std::pair<std::string, std::string>> made;
    // Why the place is refused, or "" when the log is opened and kept.
    std::string refusal;
};

TEST(LogPlaceTest, APrivilegedRunMakesItsFoldersProtectedAndUsesNoPlaceAUserCouldPlant) {
    const auto both = [](FakeLogPlaces &places) {
        places.folders[Torvane] = FakeLogPlaces::Owned("S-1-5-18");
        places.folders[Logs] = FakeLogPlaces::Owned("S-1-5-32-544");
    };
    const PlaceCase cases[] = {
        {"each missing folder is made protected", true, {}, {{Torvane, Sddl}, {Logs, Sddl}}, ""},
        {"unprivileged, with the default security", false, {}, {{Torvane, ""}, {Logs, ""}}, ""},
        {"a folder a user owns",
         true,
         [](FakeLogPlaces &p) { p.folders[Torvane] = UsersOwn(); },
         {},
         "the folder " + Torvane +
             " is owned by PC\\ann, not by SYSTEM, Administrators, TrustedInstaller or this "
             "run's own account"},
        {"folders of the run's own account and TrustedInstaller",
         true,
         [](FakeLogPlaces &p) {
             p.folders[Torvane] = FakeLogPlaces::Owned(FakeLogPlaces::RunUser);
             p.folders[Logs] = FakeLogPlaces::Owned(TrustedInstaller);
         },
         {},
         ""},
        {"a folder that is a link",
         true,
         [](FakeLogPlaces &p) { p.folders[Torvane] = Link(); },
         {},
         "the folder " + Torvane + " is a link"},
        {"a folder whose final path differs",
         true,
         [&](FakeLogPlaces &p) {
             both(p);
             p.finalPaths[Logs] = "\\RPC Control";
         },
         {},
         "the folder " + Logs + " leads through a link to \\RPC Control"},
        {"a made folder whose final path differs",
         true,
         [](FakeLogPlaces &p) { p.finalPaths[Logs] = "D:\\Elsewhere"; },
         {{Torvane, Sddl}, {Logs, Sddl}},
         "the folder " + Logs + " leads through a link to D:\\Elsewhere"},
        {"a log a user owns",
         true,
         [&](FakeLogPlaces &p) {
             both(p);
             p.existingLog = UsersOwn();
         },
         {},
         "it is owned by PC\\ann, not by SYSTEM, Administrators, TrustedInstaller or this run's "
         "own account"},
        {"a log that is a link",
         true,
         [&](FakeLogPlaces &p) {
             both(p);
             p.existingLog = Link();
         },
         {},
         "it is a link"},
        {"a log with another name",
         true,
         [&](FakeLogPlaces &p) {
             both(p);
             p.existingLog = FakeLogPlaces::Owned("S-1-5-18");
             p.existingLog->names = 2;
         },
         {},
         "it has 2 names: another is a hard link to it"},
        {"a folder another run makes meanwhile",
         true,
         [](FakeLogPlaces &p) { p.madeMeanwhile[Logs] = FakeLogPlaces::Owned("S-1-5-32-544"); },
         {{Torvane, Sddl}},
         ""},
        {"a folder a user makes meanwhile",
         true,
         [](FakeLogPlaces &p) { p.madeMeanwhile[Torvane] = UsersOwn(); },
         {},
         "the folder " + Torvane +
             " is owned by PC\\ann, not by SYSTEM, Administrators, TrustedInstaller or this "
             "run's own account"},
        {"a new log whose final path differs",
         true,
         [&](FakeLogPlaces &p) {
             both(p);
             p.logFinalPath = "D:\\x.log";
         },
         {},
         "it leads through a link to D:\\x.log"},
        {"unprivileged, a user's folder and log",
         false,
         [](FakeLogPlaces &p) {
             p.folders[Torvane] = Link();
             p.folders[Logs] = UsersOwn();
             p.existingLog = Link();
         },
         {},
         ""},
    };
    for (const PlaceCase &c : cases) {
        FakeLogPlaces places;
        places.folders["C:\\"] = FakeLogPlaces::Owned(TrustedInstaller);
        places.folders[Root] = FakeLogPlaces::Owned("S-1-5-18");
        if (c.arrange) {
            c.arrange(places);
        }
        std::string refusal;
        try {
            OpenGuardedLog(places, Log, c.privileged);
        } catch (const AppError &error) {
            EXPECT_EQ(ErrorCategory::Refusal, error.Category()) << c.what;
            EXPECT_EQ(5, error.Number()) << c.what;
            refusal = error.Description();
        }
        EXPECT_EQ(c.refusal, refusal) << c.what;
        EXPECT_EQ(c.made, places.made) << c.what;
        // A folder is refused before the log is opened; a log that was
        // there is closed unwritten, one the open made is removed.
        const bool folderRefused = !refusal.empty() && refusal.rfind("it ", 0) != 0;
        EXPECT_EQ(!folderRefused, places.opened.has_value()) << c.what;
        if (places.opened) {
            EXPECT_EQ(std::make_pair(Log, c.privileged), *places.opened) << c.what;
        }
        const bool logRefused = !refusal.empty() && !folderRefused;
        EXPECT_EQ(logRefused && places.existingLog, places.closed) << c.what;
        EXPECT_EQ(logRefused && !places.existingLog, places.removed) << c.what;
    }
}

} // namespace
