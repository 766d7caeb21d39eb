#pragma once

// String values read through the registry's wide entry points.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The value's data as UTF-16 text, exactly as stored but for one
// terminating NUL, and its type, whatever that is. Gives the registry's
// status: ERROR_FILE_NOT_FOUND when there is no such value.
LSTATUS ReadStoredText(HKEY key, const wchar_t *name, std::wstring &text, DWORD &type);

// Whether type is REG_SZ or REG_EXPAND_SZ.
bool IsTextType(DWORD type);

// text with its %variables% expanded from this process's environment.
// Throws Win32Error.
std::wstring ExpandVariables(const std::wstring &text);

// A string value as stored: its text, unexpanded, and its type.
struct StoredText {
    std::wstring text;
    DWORD type;
};

// The string value name of root\subKey as stored, opened with view (0, or
// KEY_WOW64_64KEY for the machine's own view from a 32-bit process too);
// nothing when the key or the value is missing or holds no text. Throws
// Win32Error, naming where, on any other failure.
std::optional<StoredText> ReadText(HKEY root, const std::wstring &subKey, const wchar_t *name,
                                   const std::string &where, REGSAM view = 0);

// The same with a REG_EXPAND_SZ's variables expanded from this process's
// environment, and nothing for an empty text.
std::optional<std::wstring> ReadExpandedText(HKEY root, const std::wstring &subKey,
                                             const wchar_t *name, const std::string &where,
                                             REGSAM view = 0);

// A key of the machine's own (64-bit) view, also from a 32-bit process,
// opened for access. Throws Win32Error naming it as name.
unique_hkey OpenMachineKey(const wchar_t *key, const char *name, REGSAM access);

// The names of the keys right below key, and of its values, which failures
// name where. Throws Win32Error.
std::vector<std::wstring> SubKeyNames(HKEY key, const std::string &where);
std::vector<std::wstring> ValueNames(HKEY key, const std::string &where);
