#pragma once

#include <windows.h>

#include <string>

// The path the system reaches the open file or folder by, every link on the
// way followed, in ordinary form. Throws Win32Error.
std::wstring FinalPathOf(HANDLE file);
