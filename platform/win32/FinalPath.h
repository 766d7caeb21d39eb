#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The path the system reaches the open file or folder by, every link on the
// way followed, as the system gives it (\\?\ form), its volume named by
// volumeName: VOLUME_NAME_DOS, which gives nothing for a volume without a
// drive letter, or VOLUME_NAME_GUID. Throws Win32Error.
std::optional<std::wstring> SystemFinalPath(HANDLE file, DWORD volumeName);

// The same by drive letter, in ordinary form. Throws Win32Error, with
// ERROR_PATH_NOT_FOUND for a volume without a drive letter.
std::wstring FinalPathOf(HANDLE file);
