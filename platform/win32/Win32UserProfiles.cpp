#include "platform/win32/Win32UserProfiles.h"

#include "platform/UsersLock.h"
#include "platform/win32/LocalAppData.h"
#include "platform/win32/OpenExisting.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryNames.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32HiveList.h"
#include "platform/win32/Win32Hives.h"
#include "platform/win32/Win32LockFiles.h"
#include "platform/win32/Win32LogPlaces.h"
#include "platform/win32/Win32SystemFolders.h"

#include <windows.h>

#include <algorithm>

namespace {

// How long a run waits for another one working on the machine's users.
constexpr std::chrono::milliseconds OtherRunPatience(60000);
// Where the users lock is kept, under the Windows folder: beside the log
// the fleet guide suggests, and made and checked as a log's folder is.
constexpr wchar_t UsersLockFolder[] = L"\\Logs\\Torvane";
// A mandatory profile's hive, which Windows takes over an NTUSER.DAT beside
// it, then the ordinary one.
constexpr const wchar_t *HiveFiles[] = {L"NTUSER.MAN", L"NTUSER.DAT"};

// Why folder cannot be read as a profile's folder, or 0: it must be a
// folder, and open for listing.
DWORD FolderError(const std::wstring &folder) {
    const DWORD attributes = GetFileAttributesW(LongPathForm(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return GetLastError();
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return ERROR_DIRECTORY;
    }
    if (!OpenExisting(folder, FILE_LIST_DIRECTORY)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

// The entry's profile, when it names a folder.
std::optional<UserProfile> EntryOf(HKEY list, const std::wstring &sid) {
    const std::optional<std::wstring> folder =
        ReadExpandedText(list, sid, L"ProfileImagePath", Narrow(sid));
    if (!folder) {
        return std::nullopt;
    }
    UserProfile profile{Narrow(sid), Narrow(*folder), 0};
    try {
        const std::wstring full = FullForm(*folder);
        profile.folder = Narrow(full);
        profile.folderError = static_cast<int>(FolderError(full));
    } catch (const AppError &error) {
        profile.folderError = error.Number();
    }
    return profile;
}

} // namespace

Win32UserProfiles::Win32UserProfiles() : clock_(systemClock_) {}

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

std::vector<UserProfile> Win32UserProfiles::ProfileEntries() {
    // The machine's one list, also from a 32-bit process.
    const unique_hkey list = OpenMachineKey(ProfileListKey, ProfileListName, KEY_READ);
    std::vector<UserProfile> entries;
    for (const std::wstring &sid : SubKeyNames(list.get(), ProfileListName)) {
        if (std::optional<UserProfile> entry = EntryOf(list.get(), sid)) {
            entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

std::vector<std::string> Win32UserProfiles::LoadedHives() {
    std::vector<std::string> names;
    for (const std::wstring &name : SubKeyNames(HKEY_USERS, "HKEY_USERS")) {
        names.push_back(Narrow(name));
    }
    return names;
}

std::string Win32UserProfiles::HiveFileOf(const std::string &folder) {
    for (const wchar_t *name : HiveFiles) {
        const std::wstring file = Widen(folder) + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(LongPathForm(file).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return Narrow(file);
            }
            continue;
        }
        const DWORD error = GetLastError();
        if (!IsMissing(error)) {
            throw Win32ErrorOn(error, Narrow(file), "GetFileAttributesW");
        }
    }
    throw Win32ErrorOn(ERROR_FILE_NOT_FOUND, folder + "\\NTUSER.DAT", "GetFileAttributesW");
}

std::optional<std::string> Win32UserProfiles::LoadedAs(const std::string &file) {
    if (const std::optional<std::wstring> key = UsersKeyLoadedFrom(Widen(file))) {
        return Narrow(*key);
    }
    return std::nullopt;
}

void Win32UserProfiles::LoadHive(const std::string &name, const std::string &file) {
    LoadHiveFile(Widen(name), Widen(file));
}

int Win32UserProfiles::UnloadHive(const std::string &name) {
    return static_cast<int>(UnloadHiveOnce(Widen(name)));
}

std::optional<std::string> Win32UserProfiles::LocalAppData(const std::string &hive,
                                                           const std::string &profileFolder) {
    const std::optional<std::wstring> folder =
        LocalAppDataOf(HKEY_USERS, Widen(hive), Widen(profileFolder), "HKEY_USERS\\" + hive);
    if (!folder) {
        return std::nullopt;
    }
    return Narrow(*folder);
}
