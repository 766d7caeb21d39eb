#include "platform/win32/Win32UserProfiles.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32UserHive.h"

#include <windows.h>

#include <iterator>
#include <optional>

namespace {

constexpr wchar_t ProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char ProfileListName[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// The SIDs of people's accounts, local or of a domain. Service accounts
// (S-1-5-18, -19, -20) and services (S-1-5-80-...) have others.
constexpr wchar_t UserSidPrefix[] = L"S-1-5-21-";
// A name of Torvane's own under HKEY_USERS, so it never meets the system's.
constexpr wchar_t LoadedHivePrefix[] = L"Torvane-";

// A user's SID and nothing more: Windows keeps a damaged profile's entry
// beside the new one as "<sid>.bak".
bool IsUserSid(const std::wstring &name) {
    const std::size_t prefix = std::size(UserSidPrefix) - 1;
    return name.size() > prefix && SamePathText(name.substr(0, prefix), UserSidPrefix) &&
           name.find_first_not_of(L"0123456789-", prefix) == std::wstring::npos;
}

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

// Throws ERROR_FILE_NOT_FOUND, naming it, when file does not exist.
void RequireFile(const std::wstring &file) {
    const DWORD attributes = GetFileAttributesW(LongPathForm(file).c_str());
    DWORD error = ERROR_SUCCESS;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND) {
            error = ERROR_FILE_NOT_FOUND;
        }
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = ERROR_FILE_NOT_FOUND;
    }
    if (error != ERROR_SUCCESS) {
        throw Win32ErrorOn(error, Narrow(file), "GetFileAttributesW");
    }
}

} // namespace

std::vector<UserProfile> Win32UserProfiles::Users() {
    // The machine's one list, also from a 32-bit process.
    unique_hkey list;
    const LSTATUS opened =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProfileList, 0, KEY_READ | KEY_WOW64_64KEY, list.put());
    if (opened != ERROR_SUCCESS) {
        throw Win32ErrorOn(static_cast<DWORD>(opened), ProfileListName, "RegOpenKeyExW");
    }
    std::vector<UserProfile> users;
    for (DWORD index = 0;; ++index) {
        // A key's name has at most 255 characters.
        wchar_t name[256];
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS status =
            RegEnumKeyExW(list.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            throw Win32ErrorOn(static_cast<DWORD>(status), ProfileListName, "RegEnumKeyExW");
        }
        const std::wstring sid(name, length);
        if (!IsUserSid(sid)) {
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
    // The system has it loaded while the user is signed in.
    unique_hkey loaded;
    if (RegOpenKeyExW(HKEY_USERS, sid.c_str(), 0, KEY_READ, loaded.put()) == ERROR_SUCCESS) {
        return Win32UserHive::InPlace(user);
    }
    // Loading a file that does not exist would create it.
    const std::wstring file = Widen(user.folder) + L"\\NTUSER.DAT";
    RequireFile(file);
    return Win32UserHive::Load(user, LoadedHivePrefix + sid, file);
}
