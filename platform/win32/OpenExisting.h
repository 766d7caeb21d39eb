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

// The file itself, never what a link points to, opened as a rename through
// its handle needs it: for its deletion, which fails with a sharing
// violation while a program holds the file open without sharing its
// deletion, as Quorvex does while it runs. The rename and its test both
// open it so. Throws Win32Error.
unique_hfile OpenForRename(const std::wstring &path);
