#pragma once

// User profiles made up for the tests: an entry in the machine's ProfileList
// and, for a whole profile, a folder under the temp folder with an
// NTUSER.DAT saved from the values a test gives. Each owner removes what it
// made when it goes away.

#include "TempFolder.h"
#include "platform/IUserProfiles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

constexpr wchar_t ProfileListKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// One ProfileList entry, ProfileImagePath a REG_EXPAND_SZ as on Windows. An
// entry that is there already is left exactly as it is.
class ProfileListEntry {
public:
    ProfileListEntry(std::wstring sid, const std::wstring &profileFolder);
    ProfileListEntry(const ProfileListEntry &) = delete;
    ProfileListEntry &operator=(const ProfileListEntry &) = delete;
    ~ProfileListEntry();

private:
    std::wstring sid_;
    bool ours_ = false;
};

// What a profile's NTUSER.DAT holds; a value left empty is not stored.
struct HiveContents {
    // SOFTWARE\Kestrova\Quorvex\Defaults, Database (REG_SZ): the setting
    // Torvane reads.
    std::optional<std::wstring> database;
    // Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders,
    // Local AppData (REG_EXPAND_SZ, as stored: unexpanded).
    std::optional<std::wstring> localAppData;
};

// A user's profile: a fresh SID S-1-5-21-..., its folder and its entry, and
// NTUSER.DAT in the folder when contents are given.
class TestProfile {
public:
    explicit TestProfile(const std::optional<HiveContents> &contents);
    TestProfile(const TestProfile &) = delete;
    TestProfile &operator=(const TestProfile &) = delete;
    // Also unloads the hive if a failed test left it loaded.
    ~TestProfile();

    // (Re)writes NTUSER.DAT with contents, for a test that needs the
    // profile's folder to say what the hive holds.
    void WriteHive(const HiveContents &contents) const;

    const std::wstring &Sid() const { return sid_; }
    const std::wstring &Folder() const { return folder_.Path(); }
    std::wstring HiveFile() const { return folder_ / L"NTUSER.DAT"; }
    // As the profiles' provider gives it.
    UserProfile Profile() const;

private:
    std::wstring sid_;
    TempFolder folder_;
    ProfileListEntry entry_;
};

// The SID of the user this process runs as ("S-1-5-21-0-0-0-1000" under
// Wine), whose hive the system has loaded.
std::wstring CurrentUserSid();

// The names of the keys under HKEY_USERS, sorted: the hives loaded now.
std::vector<std::wstring> LoadedHives();
