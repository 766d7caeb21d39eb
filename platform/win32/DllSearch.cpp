#include "platform/win32/DllSearch.h"

#include <windows.h>

void RestrictDllSearchToSystemFolder() {
    // Looked up at run time: an unpatched Windows 7 lacks it, and the
    // program must still start there.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI *)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr &&
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    // At least the current folder leaves the search.
    SetDllDirectoryW(L"");
}
