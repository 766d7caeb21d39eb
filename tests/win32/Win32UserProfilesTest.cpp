// The machine's users and their hives, against profiles the tests make up.

#include "platform/win32/Win32UserProfiles.h"
#include "TestProfile.h"
#include "fakes/CountingClock.h"
#include "platform/PeoplesSids.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32SystemFolders.h"
#include "platform/win32/Win32UserHive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <thread>

namespace {

constexpr wchar_t QuorvexDatabase[] = L"C:\\Data\\Quorvex\\QvxData.mdb";

std::optional<UserProfile> Find(const std::vector<UserProfile> &users, const std::wstring &sid) {
    const auto found = std::find_if(users.begin(), users.end(), [&](const UserProfile &user) {
        return user.sid == Narrow(sid);
    });
    return found == users.end() ? std::nullopt : std::optional<UserProfile>(*found);
}

// The Win32 error taking the users lock gave on another thread, its minute
// passing at once, or 0.
DWORD TakenElsewhere() {
    DWORD code = 0;
    std::thread([&] {
        CountingClock clock;
        try {
            Win32UserProfiles(clock).LockUsers();
        } catch (const AppError &error) {
            code = static_cast<DWORD>(error.Number());
        }
    }).join();
    return code;
}

std::wstring UsersLockFile() { return WindowsFolder() + L"\\Logs\\Torvane\\EveryUser.lock"; }

// The Database value under a loaded hive, or nothing.
std::optional<std::wstring> DatabaseIn(const std::string &hive) {
    unique_hkey key;
    if (RegOpenKeyExW(HKEY_USERS,
                      (Widen(hive) + L"\\SOFTWARE\\Kestrova\\Quorvex\\Defaults").c_str(), 0,
                      KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text;
    DWORD type = 0;
    if (ReadStoredText(key.get(), L"Database", text, type) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return text;
}

std::wstring Variable(const wchar_t *name) {
    std::vector<wchar_t> value(32768);
    const DWORD length =
        GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return std::wstring(value.data(), length);
}

class Win32UserProfilesTest : public ::testing::Test {
protected:
    Win32UserProfiles profiles;
};

TEST_F(Win32UserProfilesTest, UsersArePeoplesProfilesWhoseFolderExists) {
    const TestProfile person(HiveContents{});
    const TestProfile withoutHive(std::nullopt);
    const TestProfile entra(HiveContents{}, ProfileShape::EntraId());
    // Service accounts and services, in folders that exist: the SID alone
    // rules them out. An entry that is there already stays as it is.
    const std::wstring existing = person.Folder();
    const ProfileListEntry system(L"S-1-5-18", existing);
    const ProfileListEntry localService(L"S-1-5-19", existing);
    const ProfileListEntry networkService(L"S-1-5-20", existing);
    const ProfileListEntry service(
        L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", existing);
    // The profile Windows set aside when it gave the user a temporary one.
    const ProfileListEntry setAside(person.Sid() + L".bak", existing);
    const ProfileListEntry gone(L"S-1-5-21-1-2-3-9999", person.Folder() + L"\\No Such Folder");

    const std::vector<UserProfile> users = profiles.Users();

    const auto listed = Find(users, person.Sid());
    ASSERT_TRUE(listed) << "the test profile is not listed";
    EXPECT_EQ(Narrow(FullForm(person.Folder())), listed->folder);
    EXPECT_TRUE(Find(users, withoutHive.Sid())) << "a profile without NTUSER.DAT is a user too";
    EXPECT_TRUE(Find(users, entra.Sid())) << "an Entra ID account is a person";
    EXPECT_TRUE(Find(users, person.Sid() + L".bak")) << "its real data is there";
    for (const wchar_t *notAUser : {L"S-1-5-18", L"S-1-5-19", L"S-1-5-20",
                                    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-"
                                    L"2271478464",
                                    L"S-1-5-21-1-2-3-9999"}) {
        EXPECT_FALSE(Find(users, notAUser)) << Narrow(notAUser);
    }
    for (const UserProfile &user : users) {
        EXPECT_NE(ProfileEntryKind::NotAPerson, KindOfProfileEntry(user.sid)) << user.sid;
    }
}

TEST_F(Win32UserProfilesTest, UsersIncludeTheSignedInUser) {
    const auto me = Find(profiles.Users(), CurrentUserSid());
    ASSERT_TRUE(me);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY,
              GetFileAttributesW(Widen(me->folder).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Win32UserProfilesTest, OpenHiveLoadsTheProfilesHiveUntilUnloaded) {
    // A mandatory profile's hive is read the same way.
    for (const ProfileShape &shape : {ProfileShape{}, ProfileShape::Mandatory()}) {
        const TestProfile person(HiveContents{QuorvexDatabase, std::nullopt}, shape);
        const std::vector<std::wstring> before = LoadedHives();

        std::unique_ptr<IUserHive> hive = profiles.OpenHive(person.Profile());

        EXPECT_EQ("Torvane-" + Narrow(person.Sid()), hive->Name());
        EXPECT_EQ(QuorvexDatabase, DatabaseIn(hive->Name()).value_or(L"(none)"))
            << Narrow(shape.hiveFile);
        EXPECT_NE(before, LoadedHives());
        hive->Unload();
        EXPECT_EQ(before, LoadedHives());
        EXPECT_FALSE(DatabaseIn(hive->Name()));
        hive.reset();
        EXPECT_EQ(before, LoadedHives());
    }
}

// Wine leaves an empty key behind a load that fails; Windows leaves none.
TEST_F(Win32UserProfilesTest, AHiveThatCannotBeLoadedLeavesNothingUnderHkeyUsers) {
    const TestProfile damaged(std::nullopt);
    WriteFile(damaged.HiveFile(), "not a hive at all");
    const std::vector<std::wstring> before = LoadedHives();
    try {
        profiles.OpenHive(damaged.Profile());
        FAIL() << "a damaged hive was opened";
    } catch (const AppError &error) {
        EXPECT_FALSE(error.IsWin32(ERROR_FILE_NOT_FOUND)) << error.Description();
    }
    EXPECT_EQ(before, LoadedHives());
}

// What a killed run left under Torvane's name: read where it is; unloaded
// only by a run that heals.
TEST_F(Win32UserProfilesTest, AHiveAnEarlierRunLeftIsFoundOnceAndHealedOnlyWhenAsked) {
    const TestProfile person(HiveContents{QuorvexDatabase, std::nullopt});
    const std::vector<std::wstring> before = LoadedHives();
    person.LoadAsAnEarlierRunLeftIt();
    const auto ours = [&](const std::vector<LeftHive> &found) {
        return std::find_if(found.begin(), found.end(), [&](const LeftHive &left) {
            return left.name == Narrow(person.LoadedName());
        });
    };

    const std::vector<LeftHive> seen = profiles.FindLeftHives(LeftHives::Leave);
    ASSERT_NE(seen.end(), ours(seen));
    EXPECT_FALSE(ours(seen)->unloaded);
    {
        std::unique_ptr<IUserHive> hive = profiles.OpenHive(person.Profile());
        EXPECT_EQ(Narrow(person.LoadedName()), hive->Name());
        EXPECT_EQ(QuorvexDatabase, DatabaseIn(hive->Name()).value_or(L"(none)"));
        hive->Unload();
    }
    EXPECT_TRUE(DatabaseIn(Narrow(person.LoadedName()))) << "left loaded";

    Win32UserProfiles healing;
    const std::vector<LeftHive> healed = healing.FindLeftHives(LeftHives::Unload);
    ASSERT_NE(healed.end(), ours(healed));
    EXPECT_TRUE(ours(healed)->unloaded);
    EXPECT_EQ(0, ours(healed)->unloadError);
    EXPECT_EQ(before, LoadedHives());
}

// The console's Ctrl+C or close ends the process: what it loaded goes first.
TEST_F(Win32UserProfilesTest, StoppingHiveLoadsUnloadsEveryHiveAndRefusesMore) {
    const TestProfile person(HiveContents{QuorvexDatabase, std::nullopt});
    const std::vector<std::wstring> before = LoadedHives();
    std::unique_ptr<IUserHive> hive = profiles.OpenHive(person.Profile());
    {
        const StoppedHiveLoads stopped;
        EXPECT_EQ(before, LoadedHives());
        try {
            profiles.OpenHive(person.Profile());
            FAIL() << "a hive was loaded while the process ends";
        } catch (const AppError &error) {
            EXPECT_TRUE(error.IsWin32(ERROR_OPERATION_ABORTED)) << error.Number();
        }
        EXPECT_EQ(before, LoadedHives());
        hive->Unload();
    }
    EXPECT_TRUE(profiles.OpenHive(person.Profile())) << "loads again once it is gone";
}

// One run at a time works on the machine's users: the lock file is there
// while it is held, shared with no one, and goes with it.
TEST_F(Win32UserProfilesTest, TheUsersLockIsHeldByOneRunAtATime) {
    {
        const std::unique_ptr<IUsersLock> held = profiles.LockUsers();
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(UsersLockFile().c_str()));
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), TakenElsewhere());
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(UsersLockFile().c_str())) << "removed";
    EXPECT_EQ(0u, TakenElsewhere()) << "released";
}

// A power cut leaves the file where no run holds it: the next run takes it.
TEST_F(Win32UserProfilesTest, ALockFileNoRunHoldsIsTaken) {
    profiles.LockUsers().reset(); // its folder made
    unique_hfile left(CreateFileW(UsersLockFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(left);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), TakenElsewhere()) << "while open";
    left.reset();
    EXPECT_EQ(0u, TakenElsewhere());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(UsersLockFile().c_str()));
}

TEST_F(Win32UserProfilesTest, AHiveNotUnloadedIsUnloadedWhenItGoes) {
    const TestProfile person(HiveContents{QuorvexDatabase, std::nullopt});
    const std::vector<std::wstring> before = LoadedHives();
    {
        const std::unique_ptr<IUserHive> hive = profiles.OpenHive(person.Profile());
        ASSERT_TRUE(DatabaseIn(hive->Name()));
    }
    EXPECT_EQ(before, LoadedHives());
}

// Loading a missing file would create it: the profile is left as it was.
TEST_F(Win32UserProfilesTest, AProfileWithoutItsHiveFileIsNotFound) {
    const TestProfile withoutHive(std::nullopt);
    const std::vector<std::wstring> before = LoadedHives();
    try {
        profiles.OpenHive(withoutHive.Profile());
        FAIL() << "a hive was opened";
    } catch (const AppError &error) {
        EXPECT_TRUE(error.IsWin32(ERROR_FILE_NOT_FOUND)) << error.Number();
        EXPECT_NE(std::string::npos, error.Description().find(Narrow(withoutHive.HiveFile())))
            << error.Description();
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(withoutHive.HiveFile().c_str()));
    EXPECT_EQ(before, LoadedHives());
}

// The system loaded it under the SID while the user is signed in: it is
// read there and never unloaded.
TEST_F(Win32UserProfilesTest, TheSignedInUsersHiveIsUsedWhereItIs) {
    const std::wstring sid = CurrentUserSid();
    const auto me = Find(profiles.Users(), sid);
    ASSERT_TRUE(me);
    const std::vector<std::wstring> before = LoadedHives();

    std::unique_ptr<IUserHive> hive = profiles.OpenHive(*me);
    EXPECT_EQ(Narrow(sid), hive->Name());
    EXPECT_EQ(before, LoadedHives());
    EXPECT_TRUE(SamePathText(FullForm(Variable(L"LOCALAPPDATA")),
                             FullForm(Widen(hive->LocalAppData().value_or("(none)")))));
    hive->Unload();
    hive.reset();
    EXPECT_EQ(before, LoadedHives());
}

struct LocalAppDataCase {
    const char *what;
    std::optional<std::wstring> stored;
    std::optional<std::wstring> expected; // after the profile folder
};

TEST_F(Win32UserProfilesTest, LocalAppDataTakesOnlyTheProfileFolder) {
    const LocalAppDataCase cases[] = {
        {"as Windows stores it", L"%USERPROFILE%\\AppData\\Local", L"\\AppData\\Local"},
        {"in another case", L"%UserProfile%\\Local Settings", L"\\Local Settings"},
        {"named twice", L"%USERPROFILE%\\x\\%USERPROFILE%", L"\\x\\<profile>"},
        {"another variable", L"%USERPROFILE%\\%USERNAME%\\Local", std::nullopt},
        {"only another variable", L"%SystemDrive%\\Local", std::nullopt},
        {"no value", std::nullopt, std::nullopt},
    };
    for (const LocalAppDataCase &c : cases) {
        const TestProfile person(HiveContents{std::nullopt, c.stored});
        const std::unique_ptr<IUserHive> hive = profiles.OpenHive(person.Profile());
        const std::optional<std::string> localAppData = hive->LocalAppData();
        if (!c.expected) {
            EXPECT_FALSE(localAppData) << c.what << ": " << *localAppData;
            continue;
        }
        std::wstring expected = FullForm(person.Folder()) + *c.expected;
        if (const auto again = expected.find(L"<profile>"); again != std::wstring::npos) {
            expected.replace(again, 9, FullForm(person.Folder()));
        }
        EXPECT_EQ(Narrow(expected), localAppData.value_or("(none)")) << c.what;
    }
}

TEST_F(Win32UserProfilesTest, AnAbsoluteLocalAppDataIsTakenAsItIs) {
    const TestProfile person(HiveContents{std::nullopt, L"D:\\Profiles\\Local"});
    const std::unique_ptr<IUserHive> hive = profiles.OpenHive(person.Profile());
    EXPECT_EQ("D:\\Profiles\\Local", hive->LocalAppData().value_or("(none)"));
}

} // namespace
