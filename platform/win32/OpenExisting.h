#pragma once

// Opening what is already at a path, shared every way, so that only a
// program that does not share an access stands in the way, as it would of
// the step the handle is for.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <string>

// Opens path with access and flags (FILE_FLAG_BACKUP_SEMANTICS always, so a
// folder opens too). Empty on failure, with the reason in GetLastError.
unique_hfile OpenExisting(const std::wstring &path, DWORD access, DWORD flags = 0);
