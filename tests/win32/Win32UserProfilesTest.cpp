// The machine's users and their hives, against profiles the tests make up.

#include "platform/win32/Win32UserProfiles.h"
#include "TestProfile.h"
#include "fakes/FakeClock.h"
#include "platform/PeoplesSids.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Hives.h"
#include "platform/win32/Win32SystemFolders.h"

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
        FakeClock clock;
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

bool Listed(const std::vector<std::string> &names, const std::wstring &name) {
    return std::find(names.begin(), names.end(), Narrow(name)) != names.end();
}

// A value of the system's list of loaded hives, as the system writes one
// for key loaded from file, while this lives: the file's path on its
// device, made from the drive's device name.
class HiveListEntry {
public:
    HiveListEntry(const std::wstring &key, const std::wstring &file) : key_(key) {
        wchar_t device[MAX_PATH];
        EXPECT_NE(0u, QueryDosDeviceW(file.substr(0, 2).c_str(), device, MAX_PATH));
        const std::wstring path = device + file.substr(2);
        EXPECT_EQ(ERROR_SUCCESS,
                  RegSetKeyValueW(HKEY_LOCAL_MACHINE, HiveListKey, key_.c_str(), REG_SZ,
                                  path.c_str(),
                                  static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))));
    }
    HiveListEntry(const HiveListEntry &) = delete;
    HiveListEntry &operator=(const HiveListEntry &) = delete;
    ~HiveListEntry() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, HiveListKey, key_.c_str()); }

private:
    static constexpr wchar_t HiveListKey[] = L"SYSTEM\\CurrentControlSet\\Control\\hivelist";
    std::wstring key_;
};

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

// Every entry, people's or not: which are users is decided above.
TEST_F(Win32UserProfilesTest, EntriesGiveEachFolderAndWhetherItCanBeRead) {
    const TestProfile person(HiveContents{});
    const TestProfile withoutHive(std::nullopt);
    const TestProfile entra(HiveContents{}, ProfileShape::EntraId());
    const ProfileListEntry system(L"S-1-5-18", person.Folder());
    // The profile Windows set aside when it gave the user a temporary one.
    const ProfileListEntry setAside(person.Sid() + L".bak", person.Folder());
    const ProfileListEntry gone(L"S-1-5-21-1-2-3-9999", person.Folder() + L"\\No Such Folder");
    WriteFile(person.Folder() + L"\\file", "not a folder");
    const ProfileListEntry notAFolder(L"S-1-5-21-1-2-3-9998", person.Folder() + L"\\file");

    const std::vector<UserProfile> entries = profiles.ProfileEntries();

    const auto listed = Find(entries, person.Sid());
    ASSERT_TRUE(listed) << "the test profile is not listed";
    EXPECT_EQ(Narrow(FullForm(person.Folder())), listed->folder);
    EXPECT_EQ(0, listed->folderError);
    for (const std::wstring &sid :
         {withoutHive.Sid(), entra.Sid(), person.Sid() + L".bak", std::wstring(L"S-1-5-18")}) {
        EXPECT_EQ(0, Find(entries, sid).value_or(UserProfile{"", "", -1}).folderError)
            << Narrow(sid);
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              Find(entries, L"S-1-5-21-1-2-3-9999").value_or(UserProfile{}).folderError);
    EXPECT_EQ(ERROR_DIRECTORY,
              Find(entries, L"S-1-5-21-1-2-3-9998").value_or(UserProfile{}).folderError);
}

TEST_F(Win32UserProfilesTest, EntriesIncludeTheSignedInUser) {
    const auto me = Find(profiles.ProfileEntries(), CurrentUserSid());
    ASSERT_TRUE(me);
    EXPECT_EQ(0, me->folderError);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY,
              GetFileAttributesW(Widen(me->folder).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Win32UserProfilesTest, AHiveFileIsLoadedUnderANameUntilUnloadedOnce) {
    // A mandatory profile's hive is taken over an ordinary one.
    for (const ProfileShape &shape : {ProfileShape{}, ProfileShape::Mandatory()}) {
        const TestProfile person(HiveContents{QuorvexDatabase, std::nullopt}, shape);
        const std::vector<std::wstring> before = LoadedHives();
        const std::string name = Narrow(person.LoadedName());

        const std::string file = profiles.HiveFileOf(Narrow(person.Folder()));
        EXPECT_EQ(Narrow(person.HiveFile()), file);
        profiles.LoadHive(name, file);

        EXPECT_EQ(QuorvexDatabase, DatabaseIn(name).value_or(L"(none)")) << Narrow(shape.hiveFile);
        EXPECT_TRUE(Listed(profiles.LoadedHives(), person.LoadedName()));
        EXPECT_EQ(ERROR_SUCCESS, profiles.UnloadHive(name));
        EXPECT_EQ(before, LoadedHives());
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, profiles.UnloadHive(name)) << "not loaded any more";
    }
}

// Wine leaves an empty key behind a load that fails; Windows leaves none.
TEST_F(Win32UserProfilesTest, AHiveThatCannotBeLoadedLeavesNothingUnderHkeyUsers) {
    const TestProfile damaged(std::nullopt);
    WriteFile(damaged.HiveFile(), "not a hive at all");
    const std::vector<std::wstring> before = LoadedHives();
    try {
        profiles.LoadHive(Narrow(damaged.LoadedName()), Narrow(damaged.HiveFile()));
        FAIL() << "a damaged hive was loaded";
    } catch (const AppError &error) {
        EXPECT_FALSE(error.IsWin32(ERROR_FILE_NOT_FOUND)) << error.Description();
    }
    EXPECT_EQ(before, LoadedHives());
}

// What a killed run left under Torvane's name is there to be found.
TEST_F(Win32UserProfilesTest, AHiveAnEarlierRunLeftIsListedUnderHkeyUsers) {
    const TestProfile person(HiveContents{QuorvexDatabase, std::nullopt});
    const std::vector<std::wstring> before = LoadedHives();
    person.LoadAsAnEarlierRunLeftIt();
    EXPECT_TRUE(Listed(profiles.LoadedHives(), person.LoadedName()));
    EXPECT_EQ(ERROR_SUCCESS, profiles.UnloadHive(Narrow(person.LoadedName())));
    EXPECT_EQ(before, LoadedHives());
}

// A hive file the system has loaded: a set-aside profile's entry whose
// folder the signed-in user has again. The list names the key it is under.
TEST_F(Win32UserProfilesTest, AHiveFileIsFoundWhereTheSystemListsItLoaded) {
    const TestProfile person(HiveContents{});
    const std::string file = Narrow(FullForm(person.HiveFile()));
    EXPECT_FALSE(profiles.LoadedAs(file));
    {
        const HiveListEntry listed(L"\\REGISTRY\\USER\\" + person.Sid(),
                                   FullForm(person.HiveFile()));
        EXPECT_EQ(Narrow(person.Sid()), profiles.LoadedAs(file).value_or("(none)"));
    }
    const HiveListEntry machines(L"\\REGISTRY\\MACHINE\\TORVANE-TEST", FullForm(person.HiveFile()));
    EXPECT_FALSE(profiles.LoadedAs(file)) << "not a key below HKEY_USERS";
}

// The console's Ctrl+C or close ends the process: what it loaded goes first.
TEST_F(Win32UserProfilesTest, StoppingHiveLoadsUnloadsEveryHiveAndRefusesMore) {
    const TestProfile person(HiveContents{QuorvexDatabase, std::nullopt});
    const std::vector<std::wstring> before = LoadedHives();
    const std::string name = Narrow(person.LoadedName());
    const std::string file = Narrow(person.HiveFile());
    profiles.LoadHive(name, file);
    {
        const StoppedHiveLoads stopped;
        EXPECT_EQ(before, LoadedHives());
        try {
            profiles.LoadHive(name, file);
            FAIL() << "a hive was loaded while the process ends";
        } catch (const AppError &error) {
            EXPECT_TRUE(error.IsWin32(ERROR_OPERATION_ABORTED)) << error.Number();
        }
        EXPECT_EQ(before, LoadedHives());
    }
    profiles.LoadHive(name, file);
    EXPECT_EQ(ERROR_SUCCESS, profiles.UnloadHive(name)) << "loads again once it is gone";
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

// Loading a missing file would create it: the profile is left as it was.
TEST_F(Win32UserProfilesTest, AProfileWithoutItsHiveFileHasNone) {
    const TestProfile withoutHive(std::nullopt);
    try {
        profiles.HiveFileOf(Narrow(withoutHive.Folder()));
        FAIL() << "a hive file was found";
    } catch (const AppError &error) {
        EXPECT_TRUE(error.IsWin32(ERROR_FILE_NOT_FOUND)) << error.Number();
        EXPECT_NE(std::string::npos, error.Description().find(Narrow(withoutHive.HiveFile())))
            << error.Description();
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(withoutHive.HiveFile().c_str()));
}

// The system loaded it under the SID while the user is signed in.
TEST_F(Win32UserProfilesTest, TheSignedInUsersHiveIsListedAndReadWhereItIs) {
    const std::wstring sid = CurrentUserSid();
    const auto me = Find(profiles.ProfileEntries(), sid);
    ASSERT_TRUE(me);
    EXPECT_TRUE(Listed(profiles.LoadedHives(), sid));
    EXPECT_TRUE(SamePathText(
        FullForm(Variable(L"LOCALAPPDATA")),
        FullForm(Widen(profiles.LocalAppData(Narrow(sid), me->folder).value_or("(none)")))));
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
        const std::string name = Narrow(person.LoadedName());
        profiles.LoadHive(name, Narrow(person.HiveFile()));
        const std::optional<std::string> localAppData =
            profiles.LocalAppData(name, person.Profile().folder);
        profiles.UnloadHive(name);
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
    const std::string name = Narrow(person.LoadedName());
    profiles.LoadHive(name, Narrow(person.HiveFile()));
    EXPECT_EQ("D:\\Profiles\\Local",
              profiles.LocalAppData(name, person.Profile().folder).value_or("(none)"));
    profiles.UnloadHive(name);
}

} // namespace
