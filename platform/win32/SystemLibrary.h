#pragma once

// A DLL loaded from the system folder and nowhere else, so a file of the
// same name beside the program or in the current folder is never used, and
// the functions it exports.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

class SystemLibrary {
public:
    // Loads name ("version.dll") from the system folder; throws Win32Error
    // if it cannot.
    explicit SystemLibrary(const wchar_t *name);

    // The exported function of this name, as type Function; throws
    // Win32Error if there is none.
    template <typename Function> Function Get(const char *name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void *>(Address(name)));
    }
    // The same, or null where this version of Windows lacks it.
    template <typename Function> Function Find(const char *name) const noexcept {
        return reinterpret_cast<Function>(
            reinterpret_cast<void *>(GetProcAddress(module_.get(), name)));
    }

private:
    FARPROC Address(const char *name) const;

    unique_hmodule module_;
};
