#pragma once

// Renaming a file in a folder someone else may control: the file is opened
// without following a reparse point, proved to be an ordinary file whose
// final path lies inside the folder it is allowed in, and renamed through
// that same handle, in the folder its final path names, so the file checked
// is the file renamed.

#include "platform/PlatformServices.h"

#include <cstdint>
#include <string>

// True when a file with these attributes and reparse tag is a link: a
// reparse point whose tag is a name surrogate (a symbolic link, junction or
// mount point). Other reparse points (cloud files, deduplicated and
// compressed files) are ordinary files to their user.
bool IsLink(std::uint32_t attributes, std::uint32_t reparseTag);

// Renames from to to, a path in the same folder, never replacing a file.
// The file's final path must lie inside the final path of allowedFolder.
// Throws AppError: ErrorCategory::Refusal (ERROR_ACCESS_DENIED) when from
// is a link, a folder, a hidden or system file, or leads outside
// allowedFolder; else the Win32 failure (ERROR_SHARING_VIOLATION while
// another program holds the file open without sharing its deletion). With
// RenameMode::TestOnly every step but the rename itself is taken, and the
// file is left as it was.
void RenameVerifiedFile(const std::wstring &from, const std::wstring &to,
                        const std::wstring &allowedFolder, RenameMode mode = RenameMode::Rename);
