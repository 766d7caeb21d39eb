#include "platform/win32/EnabledPrivileges.h"

#include "platform/win32/WideText.h"

namespace {

PTOKEN_PRIVILEGES AsTokenPrivileges(void *list) { return static_cast<PTOKEN_PRIVILEGES>(list); }

} // namespace

LUID PrivilegeValue(const wchar_t *name) {
    LUID value{};
    if (!LookupPrivilegeValueW(nullptr, name, &value)) {
        throw Win32Error(GetLastError(), "LookupPrivilegeValueW");
    }
    return value;
}

EnabledPrivileges::EnabledPrivileges(std::initializer_list<LUID> privileges) {
    if (privileges.size() == 0 || privileges.size() > MaxPrivileges) {
        throw Win32Error(ERROR_INVALID_PARAMETER, "AdjustTokenPrivileges");
    }
    PrivilegeList wanted{};
    for (const LUID &value : privileges) {
        wanted.Privileges[wanted.PrivilegeCount++] = {value, SE_PRIVILEGE_ENABLED};
    }
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token_.put())) {
        throw Win32Error(GetLastError(), "OpenProcessToken");
    }
    DWORD size = 0;
    if (!AdjustTokenPrivileges(token_.get(), FALSE, AsTokenPrivileges(&wanted), sizeof previous_,
                               AsTokenPrivileges(&previous_), &size)) {
        throw Win32Error(GetLastError(), "AdjustTokenPrivileges");
    }
    // It succeeds for a privilege the token lacks, enabling the others.
    if (GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
        PutBack();
        throw Win32Error(ERROR_PRIVILEGE_NOT_HELD, "AdjustTokenPrivileges");
    }
}

EnabledPrivileges::~EnabledPrivileges() { PutBack(); }

void EnabledPrivileges::PutBack() noexcept {
    // Lists nothing when every privilege was enabled already.
    if (previous_.PrivilegeCount != 0) {
        AdjustTokenPrivileges(token_.get(), FALSE, AsTokenPrivileges(&previous_), 0, nullptr,
                              nullptr);
    }
}
