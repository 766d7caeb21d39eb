#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The key below HKEY_USERS the system has file loaded as, when it has: the
// file, with its links followed, is matched against the system's own list
// of the hives it has loaded. Throws Win32Error.
std::optional<std::wstring> UsersKeyLoadedFrom(const std::wstring &file);
