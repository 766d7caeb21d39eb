#include "EveryUser.h"

#include "platform/PeoplesSids.h"
#include "platform/win32/UniqueHandles.h"

#include <cwchar>

namespace {

// Longer than any registry key name or path the wide calls take.
constexpr DWORD NameCapacity = 256;
constexpr DWORD TextCapacity = 32768;

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

// Loading and unloading another user's hive needs both; enabled once for
// the whole run.
bool EnableHivePrivileges() {
    unique_handle token;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put()) &&
           Enable(token.get(), SE_BACKUP_NAME) && Enable(token.get(), SE_RESTORE_NAME);
}

// ProfileList's names are SIDs, ASCII; anything else is no person's.
bool IsPerson(const wchar_t *name) {
    std::string ascii;
    for (; *name != L'\0'; ++name) {
        if (*name > 0x7F) {
            return false;
        }
        ascii += static_cast<char>(*name);
    }
    return KindOfProfileEntry(ascii) != ProfileEntryKind::NotAPerson;
}

} // namespace

std::wstring ReadRegistryText(HKEY root, const std::wstring &key, const wchar_t *name,
                              DWORD flags) {
    std::wstring text(TextCapacity, L'\0');
    DWORD size = TextCapacity * sizeof(wchar_t);
    if (RegGetValueW(root, key.empty() ? nullptr : key.c_str(), name, flags, nullptr, text.data(),
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    // The text ends at its NUL; the rest of the buffer is room.
    text.resize(std::wcslen(text.c_str()));
    return text;
}

DWORD ForEveryUser(const std::function<DWORD(const UserEntry &)> &forUser) {
    if (!EnableHivePrivileges()) {
        return ERROR_PRIVILEGE_NOT_HELD;
    }
    unique_hkey profiles;
    if (const LSTATUS status =
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProfileList, 0,
                          KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, profiles.put());
        status != ERROR_SUCCESS) {
        return static_cast<DWORD>(status);
    }
    DWORD result = ERROR_SUCCESS;
    for (DWORD index = 0;; ++index) {
        wchar_t name[NameCapacity];
        DWORD nameLength = NameCapacity;
        const LSTATUS status = RegEnumKeyExW(profiles.get(), index, name, &nameLength, nullptr,
                                             nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || !IsPerson(name)) {
            continue;
        }
        // Expanded when stored as REG_EXPAND_SZ, as it usually is.
        const UserEntry user{name, ReadRegistryText(profiles.get(), name, L"ProfileImagePath")};
        if (user.folder.empty()) {
            continue;
        }
        if (const DWORD error = forUser(user); error != ERROR_SUCCESS) {
            result = error;
        }
    }
    return result;
}
