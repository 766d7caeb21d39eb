#pragma once

// What the quiet job's floors do for each user: read the database's path as
// Torvane reads it, then set the file aside.

#include <windows.h>

#include <string>

// The value "Database" of userKey + "SOFTWARE\Kestrova\Quorvex\Defaults"
// under root, read with the ANSI calls as Torvane reads it and converted
// from the ANSI code page. Gives the registry's status.
LSTATUS ReadDatabasePath(HKEY root, const std::string &userKey, std::wstring &path);

// Renames path to path + ".Advanced" with MoveFileExW; 0 or the Win32 error.
DWORD SetAside(const std::wstring &path);
