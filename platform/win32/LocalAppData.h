#pragma once

// Where a user's Local AppData is, as their own registry says: the one way
// to find it, for the user who runs the program and for any other.

#include <windows.h>

#include <optional>
#include <string>

// The Local AppData that userKey (HKEY_CURRENT_USER, or a user's hive
// below HKEY_USERS, named where for failures) gives in User Shell Folders,
// with %USERPROFILE% made profileFolder; nothing when the value is not
// there or names any other variable, which only the user's own environment
// could expand. Throws AppError.
std::optional<std::wstring> LocalAppDataOf(HKEY root, const std::wstring &userKey,
                                           const std::wstring &profileFolder,
                                           const std::string &where);
