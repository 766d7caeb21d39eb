#include "platform/win32/DllSearch.h"

#include "platform/win32/SystemFunctions.h"

#include <windows.h>

void RestrictDllSearchToSystemFolder() {
    // An unpatched Windows 7 lacks the search option; the program must
    // still start there.
    const auto setDefaultDllDirectories = Kernel32().setDefaultDllDirectories;
    if (setDefaultDllDirectories != nullptr &&
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    // At least the current folder leaves the search.
    SetDllDirectoryW(L"");
}
