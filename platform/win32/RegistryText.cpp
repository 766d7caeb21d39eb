#include "platform/win32/RegistryText.h"

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <utility>

namespace {

// The names enumerate gives for one index after another, each at most room
// characters with its NUL, until there are no more.
template <typename Enumerate>
std::vector<std::wstring> EnumeratedNames(DWORD room, const std::string &where, const char *source,
                                          Enumerate enumerate) {
    std::vector<std::wstring> names;
    std::wstring name(room, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = room;
        const LSTATUS status = enumerate(index, name.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS) {
            return names;
        }
        if (status != ERROR_SUCCESS) {
            throw Win32ErrorOn(static_cast<DWORD>(status), where, source);
        }
        names.emplace_back(name.data(), length);
    }
}

} // namespace

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

std::optional<StoredText> ReadText(HKEY root, const std::wstring &subKey, const wchar_t *name,
                                   const std::string &where, REGSAM view) {
    unique_hkey key;
    LSTATUS status = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, key.put());
    StoredText stored{{}, 0};
    if (status == ERROR_SUCCESS) {
        status = ReadStoredText(key.get(), name, stored.text, stored.type);
    }
    if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && !IsTextType(stored.type))) {
        return std::nullopt;
    }
    if (status != ERROR_SUCCESS) {
        throw Win32ErrorOn(static_cast<DWORD>(status), where, "RegQueryValueExW");
    }
    return stored;
}

std::optional<std::wstring> ReadExpandedText(HKEY root, const std::wstring &subKey,
                                             const wchar_t *name, const std::string &where,
                                             REGSAM view) {
    const std::optional<StoredText> stored = ReadText(root, subKey, name, where, view);
    if (!stored || stored->text.empty()) {
        return std::nullopt;
    }
    return stored->type == REG_EXPAND_SZ ? ExpandVariables(stored->text) : stored->text;
}

unique_hkey OpenMachineKey(const wchar_t *key, const char *name, REGSAM access) {
    unique_hkey opened;
    const LSTATUS status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, access | KEY_WOW64_64KEY, opened.put());
    if (status != ERROR_SUCCESS) {
        throw Win32ErrorOn(static_cast<DWORD>(status), name, "RegOpenKeyExW");
    }
    return opened;
}

std::vector<std::wstring> SubKeyNames(HKEY key, const std::string &where) {
    // A key's name has at most 255 characters.
    return EnumeratedNames(
        256, where, "RegEnumKeyExW", [&](DWORD index, wchar_t *name, DWORD *length) {
            return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
}

std::vector<std::wstring> ValueNames(HKEY key, const std::string &where) {
    // A value's name has at most 16,383 characters.
    return EnumeratedNames(
        16384, where, "RegEnumValueW", [&](DWORD index, wchar_t *name, DWORD *length) {
            return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
}
