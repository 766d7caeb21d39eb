#include "platform/win32/RegistryText.h"

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
