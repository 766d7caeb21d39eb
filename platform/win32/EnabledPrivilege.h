#pragma once

// A privilege of the process's token enabled for as long as the owner
// lives, and then put back as it was, on every path.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

class EnabledPrivilege {
public:
    // Enables name (SE_BACKUP_NAME); throws Win32Error, with
    // ERROR_PRIVILEGE_NOT_HELD when the token does not have it.
    explicit EnabledPrivilege(const wchar_t *name);
    EnabledPrivilege(const EnabledPrivilege &) = delete;
    EnabledPrivilege &operator=(const EnabledPrivilege &) = delete;
    ~EnabledPrivilege();

private:
    unique_handle token_;
    // The privilege's state before, when enabling it changed it.
    TOKEN_PRIVILEGES previous_{};
};
