// The least program of the all-users quiet job's kind: a console program,
// run as an administrator or as System, that for each user profile Windows
// lists loads the user's registry hive, reads the database's path there as
// Torvane reads its own user's, unloads the hive and renames the file with
// ".Advanced" added. Its time will be the floor for Torvane's all-users run.
//
// A profile whose hive cannot be loaded (none there, or in use because the
// user is logged on) or holds no database path is passed over. The exit code
// is 0, or the error of the last rename that failed.

#include "QuietJob.h"
#include "platform/win32/UniqueHandles.h"

#include <cwchar>
#include <iterator>

namespace {

constexpr wchar_t ProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// People's accounts; the system's own (S-1-5-18 and the like) have no
// database of their own.
constexpr wchar_t UserSidPrefix[] = L"S-1-5-21-";
// Each user's hive is loaded in turn under this key of HKEY_USERS: a name of
// our own, so a hive the system loads under the user's SID is never touched.
constexpr wchar_t HiveName[] = L"TorvaneFloorUser";
constexpr char HiveKey[] = "TorvaneFloorUser\\";
// Longer than any registry key name or path the wide calls take.
constexpr DWORD NameCapacity = 256;
constexpr DWORD PathCapacity = 32768;

bool Enable(HANDLE token, const wchar_t *privilege) {
    TOKEN_PRIVILEGES enabled{};
    enabled.PrivilegeCount = 1;
    enabled.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // AdjustTokenPrivileges succeeds even for a privilege the token lacks,
    // and says so only through the last error.
    return LookupPrivilegeValueW(nullptr, privilege, &enabled.Privileges[0].Luid) &&
           AdjustTokenPrivileges(token, FALSE, &enabled, 0, nullptr, nullptr) &&
           GetLastError() == ERROR_SUCCESS;
}

// Loading and unloading another user's hive needs both.
bool EnableHivePrivileges() {
    unique_handle token;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put()) &&
           Enable(token.get(), SE_BACKUP_NAME) && Enable(token.get(), SE_RESTORE_NAME);
}

// The database path in the user's hive, read while the hive is loaded; empty
// if it cannot be loaded or holds none.
std::wstring DatabasePathOf(const std::wstring &profileFolder) {
    unique_hive hive;
    std::wstring path;
    if (hive.load(HKEY_USERS, HiveName, profileFolder + L"\\NTUSER.DAT") != ERROR_SUCCESS ||
        ReadDatabasePath(HKEY_USERS, HiveKey, path) != ERROR_SUCCESS) {
        return {};
    }
    return path;
}

} // namespace

int wmain() {
    if (!EnableHivePrivileges()) {
        return ERROR_PRIVILEGE_NOT_HELD;
    }
    unique_hkey profiles;
    if (const LSTATUS status =
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProfileList, 0,
                          KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, profiles.put());
        status != ERROR_SUCCESS) {
        return static_cast<int>(status);
    }
    DWORD result = ERROR_SUCCESS;
    std::wstring folder(PathCapacity, L'\0');
    for (DWORD index = 0;; ++index) {
        wchar_t sid[NameCapacity];
        DWORD sidLength = NameCapacity;
        const LSTATUS status = RegEnumKeyExW(profiles.get(), index, sid, &sidLength, nullptr,
                                             nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS ||
            std::wcsncmp(sid, UserSidPrefix, std::size(UserSidPrefix) - 1) != 0) {
            continue;
        }
        // Expanded when stored as REG_EXPAND_SZ, as it usually is.
        DWORD folderSize = PathCapacity * sizeof(wchar_t);
        if (RegGetValueW(profiles.get(), sid, L"ProfileImagePath", RRF_RT_REG_SZ, nullptr,
                         folder.data(), &folderSize) != ERROR_SUCCESS) {
            continue;
        }
        // The folder's text ends at its NUL; the rest of the buffer is room.
        const std::wstring path = DatabasePathOf({folder.data(), std::wcslen(folder.data())});
        if (path.empty()) {
            continue;
        }
        if (const DWORD error = SetAside(path); error != ERROR_SUCCESS) {
            result = error;
        }
    }
    return static_cast<int>(result);
}
