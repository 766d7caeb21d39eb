#pragma once

// Privileges of the process's token enabled for as long as the owner lives,
// and then put back as they were, on every path. They are enabled and put
// back together, in one call each.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <initializer_list>

// The privilege name (SE_BACKUP_NAME, ...) stands for on this system: a
// question to the system's security authority, worth asking once. Throws
// Win32Error.
LUID PrivilegeValue(const wchar_t *name);

class EnabledPrivileges {
public:
    // Enables each of privileges (from PrivilegeValue), at most
    // MaxPrivileges; throws Win32Error, with ERROR_PRIVILEGE_NOT_HELD when
    // the token lacks one of them, having changed nothing.
    explicit EnabledPrivileges(std::initializer_list<LUID> privileges);
    EnabledPrivileges(const EnabledPrivileges &) = delete;
    EnabledPrivileges &operator=(const EnabledPrivileges &) = delete;
    ~EnabledPrivileges();

    static constexpr DWORD MaxPrivileges = 2;

private:
    // TOKEN_PRIVILEGES with room for more than its declared one.
    struct PrivilegeList {
        DWORD PrivilegeCount;
        LUID_AND_ATTRIBUTES Privileges[MaxPrivileges];
    };

    void PutBack() noexcept;

    unique_handle token_;
    // The privileges' states before, of those enabling them changed.
    PrivilegeList previous_{};
};
