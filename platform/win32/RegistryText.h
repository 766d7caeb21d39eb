#pragma once

// String values read through the registry's wide entry points.

#include <windows.h>

#include <string>

// The value's data as UTF-16 text, exactly as stored but for one
// terminating NUL, and its type, whatever that is. Gives the registry's
// status: ERROR_FILE_NOT_FOUND when there is no such value.
LSTATUS ReadStoredText(HKEY key, const wchar_t *name, std::wstring &text, DWORD &type);

// Whether type is REG_SZ or REG_EXPAND_SZ.
bool IsTextType(DWORD type);
