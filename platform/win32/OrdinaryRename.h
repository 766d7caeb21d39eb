#pragma once

// Renaming a file in a folder someone else may control: the file is opened
// without following a reparse point, proved to be an ordinary file whose
// final path is the one asked for, and renamed through that same handle, so
// the file checked is the file renamed.

#include "platform/PlatformServices.h"

#include <string>

// Renames from to to, a path in the same folder, never replacing a file.
// Throws AppError: ErrorCategory::Refusal (ERROR_ACCESS_DENIED) when from
// is a link, a folder, a hidden or system file, or leads elsewhere; else the
// Win32 failure (ERROR_SHARING_VIOLATION while another program holds the
// file open without sharing its deletion). With RenameMode::TestOnly every
// step but the rename itself is taken, and the file is left as it was.
void RenameVerifiedFile(const std::wstring &from, const std::wstring &to,
                        RenameMode mode = RenameMode::Rename);
