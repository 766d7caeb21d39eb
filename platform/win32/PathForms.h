#pragma once

// The forms a Windows path takes: as typed, absolute, with the \\?\ prefix
// that lifts the length limit, and in full long form for comparing.

#include <windows.h>

#include <string>

// The absolute path, relative parts resolved against the current folder
// (GetFullPathNameW). Throws Win32Error.
std::wstring AbsolutePath(const std::wstring &path);

// The absolute \\?\ form (\\?\UNC\ for a share), which no length limit
// applies to.
std::wstring ExtendedForm(const std::wstring &path);

// A path the file APIs accept at any length: short paths stay exactly as
// typed; longer ones are made absolute and given the \\?\ prefix.
std::wstring LongPathForm(const std::wstring &path);

// The path without a \\?\ or \\?\UNC\ prefix, as people write it.
std::wstring OrdinaryForm(const std::wstring &path);

// The absolute path with every part that exists in its long form (not 8.3)
// and the rest as given, so that two spellings of one path compare equal
// without regard to case. In ordinary form unless that is too long for the
// file APIs. Throws Win32Error on a path that has no absolute form.
std::wstring FullForm(const std::wstring &path);

// Whether two paths are the same text without regard to case, as the file
// system compares names.
bool SamePathText(const std::wstring &a, const std::wstring &b);

// Whether path lies inside folder, at any depth, both absolute and in the
// same form, compared as the file system compares names.
bool LiesInside(const std::wstring &path, const std::wstring &folder);

// The folder part of a path, up to its last backslash (left out).
std::wstring FolderOf(const std::wstring &path);

// The folder that holds path, a full path in any form, as a path that opens
// it: a root keeps its backslash ("C:" alone is the drive's current folder,
// "\\?\C:" the volume itself).
std::wstring OpenableFolderOf(const std::wstring &path);
