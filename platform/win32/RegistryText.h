#pragma once

// String values read through the registry's wide entry points.

#include <windows.h>

#include <optional>
#include <string>

// The value's data as UTF-16 text, exactly as stored but for one
// terminating NUL, and its type, whatever that is. Gives the registry's
// status: ERROR_FILE_NOT_FOUND when there is no such value.
LSTATUS ReadStoredText(HKEY key, const wchar_t *name, std::wstring &text, DWORD &type);

// Whether type is REG_SZ or REG_EXPAND_SZ.
bool IsTextType(DWORD type);

// text with its %variables% expanded from this process's environment.
// Throws Win32Error.
std::wstring ExpandVariables(const std::wstring &text);

// The text of value name of root\subKey, in the registry's 64-bit view (the
// machine's own, from a 32-bit process too), a REG_EXPAND_SZ expanded;
// nothing when the key or value is missing or holds no text.
std::optional<std::wstring> ReadTextValue(HKEY root, const wchar_t *subKey, const wchar_t *name);
