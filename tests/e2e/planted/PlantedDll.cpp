// A DLL planted beside Torvane.exe under the name of a DLL the program might
// load. When anything loads it, it leaves "<its own file name>.mark" in the
// folder it sits in. It runs before any C runtime could, so it uses
// kernel32 alone.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

extern "C" BOOL WINAPI PlantedEntry(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    constexpr wchar_t Suffix[] = L".mark";
    constexpr DWORD Room = MAX_PATH;
    wchar_t path[Room + sizeof Suffix / sizeof Suffix[0]];
    const DWORD length = GetModuleFileNameW(self, path, Room);
    if (length == 0 || length >= Room) {
        return TRUE;
    }
    for (DWORD i = 0; i < sizeof Suffix / sizeof Suffix[0]; ++i) {
        path[length + i] = Suffix[i];
    }
    const unique_hfile mark(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return TRUE;
}
