#include "platform/win32/RegistryText.h"

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <utility>

LSTATUS ReadStoredText(HKEY key, const wchar_t *name, std::wstring &text, DWORD &type) {
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    std::wstring stored;
    do {
        // Room for an odd byte and a NUL the registry may add.
        stored.assign(size / sizeof(wchar_t) + 2, L'\0');
        size = static_cast<DWORD>(stored.size() * sizeof(wchar_t));
        // ERROR_MORE_DATA when the value grew meanwhile, with the size it
        // needs now.
        status = RegQueryValueExW(key, name, nullptr, &type,
                                  reinterpret_cast<BYTE *>(stored.data()), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    stored.resize(std::min<std::size_t>(size / sizeof(wchar_t), stored.size()));
    if (!stored.empty() && stored.back() == L'\0') {
        stored.pop_back();
    }
    text = std::move(stored);
    return ERROR_SUCCESS;
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::wstring ExpandVariables(const std::wstring &text) {
    DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    for (;;) {
        if (needed == 0) {
            throw Win32Error(GetLastError(), "ExpandEnvironmentStringsW");
        }
        std::wstring expanded(needed, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
        if (written != 0 && written <= needed) {
            expanded.resize(written - 1); // the count includes the NUL
            return expanded;
        }
        needed = written;
    }
}

std::optional<std::wstring> ReadTextValue(HKEY root, const wchar_t *subKey, const wchar_t *name) {
    unique_hkey key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text;
    DWORD type = 0;
    if (ReadStoredText(key.get(), name, text, type) != ERROR_SUCCESS || !IsTextType(type) ||
        text.empty()) {
        return std::nullopt;
    }
    return type == REG_EXPAND_SZ ? ExpandVariables(text) : text;
}
