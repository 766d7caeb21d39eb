#pragma once

// Proving a file in a folder someone else may control fit to be moved: an
// ordinary file, reached where its folder is allowed. The file is looked at
// through the handle that will move it, so the file checked is the file
// moved.

#include <windows.h>

#include <cstdint>
#include <string>

// True when a file with these attributes and reparse tag is a link: a
// reparse point whose tag is a name surrogate (a symbolic link, junction or
// mount point). Other reparse points (cloud files, deduplicated and
// compressed files) are ordinary files to their user.
bool IsLink(std::uint32_t attributes, std::uint32_t reparseTag);

// The final path of file, opened from source (a full path) without
// following a reparse point, once it proves to be an ordinary file (not a
// link, folder, hidden or system file) whose final path lies inside the
// final path of allowed, a full path. Throws AppError: ErrorCategory::Refusal
// (ERROR_ACCESS_DENIED) when it is not, saying why; else the Win32 failure.
std::wstring OrdinaryFinalPath(HANDLE file, const std::wstring &source,
                               const std::wstring &allowed);
