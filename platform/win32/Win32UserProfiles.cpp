#include "platform/win32/Win32UserProfiles.h"

#include "platform/PeoplesSids.h"
#include "platform/UsersLock.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32LockFiles.h"
#include "platform/win32/Win32LogPlaces.h"
#include "platform/win32/Win32SystemFolders.h"
#include "platform/win32/Win32UserHive.h"

#include <windows.h>

#include <iterator>
#include <optional>

namespace {

constexpr wchar_t ProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char ProfileListName[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// A name of Torvane's own under HKEY_USERS, so it never meets the system's.
constexpr wchar_t LoadedHivePrefix[] = L"Torvane-";
// How long a run waits for another one working on the machine's users.
constexpr std::chrono::milliseconds OtherRunPatience(60000);
// Where the users lock is kept, under the Windows folder: beside the log
// the fleet guide suggests, and made and checked as a log's folder is.
constexpr wchar_t UsersLockFolder[] = L"\\Logs\\Torvane";
// A mandatory profile's hive, which Windows takes over an NTUSER.DAT beside
// it, then the ordinary one.
constexpr const wchar_t *HiveFiles[] = {L"NTUSER.MAN", L"NTUSER.DAT"};

// The profile's folder in full form, when its entry names one that exists.
std::optional<std::wstring> ProfileFolder(HKEY list, const std::wstring &sid) {
    std::optional<std::wstring> folder =
        ReadExpandedText(list, sid, L"ProfileImagePath", Narrow(sid));
    if (!folder) {
        return std::nullopt;
    }
    folder = FullForm(*folder);
    const DWORD attributes = GetFileAttributesW(LongPathForm(*folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    return folder;
}

// The profile's hive file. Throws ERROR_FILE_NOT_FOUND, naming the
// ordinary one, when there is none; another failure to look, naming it.
std::wstring HiveFileOf(const std::wstring &folder) {
    for (const wchar_t *name : HiveFiles) {
        std::wstring file = folder + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(LongPathForm(file).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return file;
            }
            continue;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            throw Win32ErrorOn(error, Narrow(file), "GetFileAttributesW");
        }
    }
    throw Win32ErrorOn(ERROR_FILE_NOT_FOUND, Narrow(folder + L"\\NTUSER.DAT"),
                       "GetFileAttributesW");
}

// The names of the keys right below key, which failures name keyName.
std::vector<std::wstring> SubKeyNames(HKEY key, const char *keyName) {
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        // A key's name has at most 255 characters.
        wchar_t name[256];
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS status =
            RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            return names;
        }
        if (status != ERROR_SUCCESS) {
            throw Win32ErrorOn(static_cast<DWORD>(status), keyName, "RegEnumKeyExW");
        }
        names.emplace_back(name, length);
    }
}

Win32Clock systemClock;

} // namespace

Win32UserProfiles::Win32UserProfiles() : clock_(systemClock) {}

Win32UserProfiles::Win32UserProfiles(IClock &clock) : clock_(clock) {}

std::unique_ptr<IUsersLock> Win32UserProfiles::LockUsers() {
    Win32LogPlaces places;
    Win32LockFiles files;
    UsersLockAttempt taken = TakeUsersLock(
        places, files, clock_, Narrow(WindowsFolder() + UsersLockFolder), OtherRunPatience);
    if (!taken.lock) {
        throw Win32ErrorOn(static_cast<DWORD>(taken.error), taken.path, "CreateFileW");
    }
    return std::move(taken.lock);
}

std::vector<LeftHive> Win32UserProfiles::FindLeftHives(LeftHives leftHives) {
    unloadLeft_ = leftHives == LeftHives::Unload;
    leftLoaded_.clear();
    const std::wstring prefix = LoadedHivePrefix;
    std::vector<LeftHive> found;
    // The keys right below HKEY_USERS are the hives loaded now.
    for (const std::wstring &name : SubKeyNames(HKEY_USERS, "HKEY_USERS")) {
        if (name.size() <= prefix.size() || !SamePathText(name.substr(0, prefix.size()), prefix)) {
            continue;
        }
        LeftHive left{Narrow(name), false, 0};
        if (unloadLeft_) {
            left.unloadError = static_cast<int>(Win32UserHive::UnloadPatiently(name, clock_));
            left.unloaded = left.unloadError == ERROR_SUCCESS;
        }
        if (!left.unloaded) {
            leftLoaded_.insert(name);
        }
        found.push_back(left);
    }
    return found;
}

std::vector<UserProfile> Win32UserProfiles::Users() {
    // The machine's one list, also from a 32-bit process.
    unique_hkey list;
    const LSTATUS opened =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProfileList, 0, KEY_READ | KEY_WOW64_64KEY, list.put());
    if (opened != ERROR_SUCCESS) {
        throw Win32ErrorOn(static_cast<DWORD>(opened), ProfileListName, "RegOpenKeyExW");
    }
    std::vector<UserProfile> users;
    for (const std::wstring &sid : SubKeyNames(list.get(), ProfileListName)) {
        if (KindOfProfileEntry(Narrow(sid)) == ProfileEntryKind::NotAPerson) {
            continue;
        }
        if (const auto folder = ProfileFolder(list.get(), sid)) {
            users.push_back({Narrow(sid), Narrow(*folder)});
        }
    }
    return users;
}

std::unique_ptr<IUserHive> Win32UserProfiles::OpenHive(const UserProfile &user) {
    const std::wstring sid = Widen(user.sid);
    // The system has it loaded while the user is signed in (never for a
    // set-aside profile's entry, which no hive is loaded under).
    unique_hkey loaded;
    if (RegOpenKeyExW(HKEY_USERS, sid.c_str(), 0, KEY_READ, loaded.put()) == ERROR_SUCCESS) {
        return Win32UserHive::InPlace(user.sid, user, false, clock_);
    }
    const std::wstring name = LoadedHivePrefix + sid;
    if (leftLoaded_.count(name) != 0) {
        return Win32UserHive::InPlace(Narrow(name), user, unloadLeft_, clock_);
    }
    // Loading a file that does not exist would create it.
    return Win32UserHive::Load(user, name, HiveFileOf(Widen(user.folder)), clock_);
}
