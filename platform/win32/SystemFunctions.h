#pragma once

// The system functions that only newer Windows has, in one table per DLL,
// each looked up once through SystemLibrary the first time its table is
// used. A function this Windows lacks is null, and its caller falls back.
// A DLL's table is made only when asked for, so a run that never asks does
// not load the DLL.

#include <windows.h>

// Windows 8, or Windows 7 with update KB2533623.
struct Kernel32Functions {
    decltype(&::SetDefaultDllDirectories) setDefaultDllDirectories = nullptr;
};

// Windows 10 version 1607. The headers declare them only for that version
// and later, and Torvane is built for Windows 7, so their types are here.
struct User32Functions {
    using GetDpiForWindowFunction = UINT(WINAPI *)(HWND window);
    using AdjustWindowRectExForDpiFunction = BOOL(WINAPI *)(RECT *rect, DWORD style, BOOL menu,
                                                            DWORD exStyle, UINT dpi);
    GetDpiForWindowFunction getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi = nullptr;
};

const Kernel32Functions &Kernel32();
const User32Functions &User32();
