#include "UnderWine.h"

#include <windows.h>

bool UnderWine() {
    // Wine's ntdll exports its version; Windows' has no such function.
    static const bool underWine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return underWine;
}
