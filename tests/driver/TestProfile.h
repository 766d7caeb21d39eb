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

// How a profile differs from the usual one.
struct ProfileShape {
    // The SID's start: a local or domain account's, or an Entra ID one's.
    std::wstring sidPrefix = L"S-1-5-21-";
    // "NTUSER.MAN" for a mandatory profile.
    std::wstring hiveFile = L"NTUSER.DAT";
    // The SID, when the profile shares it with another (a temporary profile
    // and the set-aside one); empty for a fresh one.
    std::wstring sid;
    // ".bak" for the entry of a profile Windows set aside.
    std::wstring entrySuffix;

    static ProfileShape EntraId() { return {L"S-1-12-1-", L"NTUSER.DAT", {}, {}}; }
    static ProfileShape Mandatory() { return {L"S-1-5-21-", L"NTUSER.MAN", {}, {}}; }
    // The profile Windows set aside for the user whose SID is sid.
    static ProfileShape SetAside(const std::wstring &sid) {
        return {L"S-1-5-21-", L"NTUSER.DAT", sid, L".bak"};
    }
};

// A user's profile: a fresh SID (S-1-5-21-... unless shaped otherwise), its
// folder and its entry, and the hive file in the folder when contents are
// given.
class TestProfile {
public:
    explicit TestProfile(const std::optional<HiveContents> &contents,
                         const ProfileShape &shape = {});
    TestProfile(const TestProfile &) = delete;
    TestProfile &operator=(const TestProfile &) = delete;
    // Also unloads the hive if a failed test left it loaded.
    ~TestProfile();

    // (Re)writes NTUSER.DAT with contents, for a test that needs the
    // profile's folder to say what the hive holds.
    void WriteHive(const HiveContents &contents) const;

    // The ProfileList entry's name: the SID, or "<SID>.bak".
    const std::wstring &Sid() const { return sid_; }
    const std::wstring &Folder() const { return folder_.Path(); }
    std::wstring HiveFile() const { return folder_ / hiveFile_; }
    // The key Torvane loads the hive under.
    std::wstring LoadedName() const { return L"Torvane-" + sid_; }
    // Loads the hive under LoadedName(), as a run that was killed left it.
    void LoadAsAnEarlierRunLeftIt() const;
    // As the profiles' provider gives it.
    UserProfile Profile() const;

private:
    std::wstring sid_;
    std::wstring hiveFile_;
    TempFolder folder_;
    ProfileListEntry entry_;
};

// The SID of the user this process runs as ("S-1-5-21-0-0-0-1000" under
// Wine), whose hive the system has loaded.
std::wstring CurrentUserSid();

// The names of the keys under HKEY_USERS, sorted: the hives loaded now.
std::vector<std::wstring> LoadedHives();
