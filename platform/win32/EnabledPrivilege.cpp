#include "platform/win32/EnabledPrivilege.h"

#include "platform/win32/WideText.h"

EnabledPrivilege::EnabledPrivilege(const wchar_t *name) {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token_.put())) {
        throw Win32Error(GetLastError(), "OpenProcessToken");
    }
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, name, &wanted.Privileges[0].Luid)) {
        throw Win32Error(GetLastError(), "LookupPrivilegeValueW");
    }
    DWORD size = 0;
    if (!AdjustTokenPrivileges(token_.get(), FALSE, &wanted, sizeof previous_, &previous_, &size)) {
        throw Win32Error(GetLastError(), "AdjustTokenPrivileges");
    }
    // It succeeds, changing nothing, for a privilege the token lacks.
    if (GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
        throw Win32Error(ERROR_PRIVILEGE_NOT_HELD, "AdjustTokenPrivileges");
    }
}

EnabledPrivilege::~EnabledPrivilege() {
    // Lists nothing when the privilege was enabled already.
    if (previous_.PrivilegeCount != 0) {
        AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
    }
}
