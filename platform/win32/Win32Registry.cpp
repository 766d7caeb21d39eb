#include "platform/win32/Win32Registry.h"

#include "platform/win32/RegistryText.h"
#include "platform/win32/WideText.h"

namespace {

HKEY ToKey(RegistryHandle key) { return reinterpret_cast<HKEY>(key); }
RegistryHandle FromKey(HKEY key) { return reinterpret_cast<RegistryHandle>(key); }

// ANSI code page bytes as UTF-16; every byte sequence converts.
std::wstring AnsiToWide(const std::string &ansi) {
    if (ansi.empty()) {
        return {};
    }
    const auto convert = [&](wchar_t *wide, int length) {
        return MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide,
                                   length);
    };
    const int length = convert(nullptr, 0);
    if (length == 0) {
        throw Win32Error(GetLastError(), "MultiByteToWideChar");
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    convert(wide.data(), length);
    return wide;
}

// UTF-16 as ANSI code page bytes. With WC_NO_BEST_FIT_CHARS a character the
// code page lacks becomes its default character rather than a look-alike.
std::string WideToAnsi(const std::wstring &wide, DWORD flags) {
    if (wide.empty()) {
        return {};
    }
    const auto convert = [&](char *ansi, int length) {
        return WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), ansi,
                                   length, nullptr, nullptr);
    };
    const int length = convert(nullptr, 0);
    if (length == 0) {
        throw Win32Error(GetLastError(), "WideCharToMultiByte");
    }
    std::string ansi(static_cast<std::size_t>(length), '\0');
    convert(ansi.data(), length);
    return ansi;
}

} // namespace

HKEY Win32Registry::ToHkey(RootKeyValue root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(root));
}

RegistryStatus Win32Registry::OpenKey(RootKeyValue root, const std::string &subKey,
                                      std::uint32_t options, std::uint32_t access,
                                      RegistryHandle &key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(root), subKey.c_str(), options, access, &opened);
    if (status == ERROR_SUCCESS) {
        key = FromKey(opened);
    }
    return status;
}

RegistryStatus Win32Registry::CreateKey(RootKeyValue root, const std::string &subKey,
                                        std::uint32_t options, std::uint32_t access,
                                        RegistryHandle &key) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExA(ToHkey(root), subKey.c_str(), 0, nullptr, options, access,
                                        nullptr, &created, &disposition);
    if (status == ERROR_SUCCESS) {
        key = FromKey(created);
    }
    return status;
}

RegistryStatus Win32Registry::QueryValue(RegistryHandle key, const std::string &valueName,
                                         std::uint32_t &type, unsigned char *data,
                                         std::uint32_t &size) {
    // DWORD is another type of the same width.
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG status =
        RegQueryValueExA(ToKey(key), valueName.c_str(), nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return status;
}

RegistryStatus Win32Registry::SetValue(RegistryHandle key, const std::string &valueName,
                                       std::uint32_t type, const unsigned char *data,
                                       std::uint32_t size) {
    return RegSetValueExA(ToKey(key), valueName.c_str(), 0, type, data, size);
}

RegistryStatus Win32Registry::CloseKey(RegistryHandle key) { return RegCloseKey(ToKey(key)); }

RegistryStatus Win32Registry::QueryStoredText(RegistryHandle key, const std::string &valueName,
                                              std::string &text) {
    std::wstring stored;
    DWORD type = 0;
    const LSTATUS status = ReadStoredText(ToKey(key), AnsiToWide(valueName).c_str(), stored, type);
    if (status == ERROR_SUCCESS) {
        text = Narrow(stored);
    }
    return status;
}

std::string Win32AnsiCodePage::ToAnsi(const std::string &text) {
    return WideToAnsi(Widen(text), 0);
}

bool Win32AnsiCodePage::Represents(const std::string &text) {
    // The text survives the way there and back only if each character has
    // its own form in the code page.
    const std::wstring wide = Widen(text);
    try {
        return AnsiToWide(WideToAnsi(wide, WC_NO_BEST_FIT_CHARS)) == wide;
    } catch (const AppError &) {
        return false;
    }
}

std::string Win32AnsiCodePage::FromAnsi(const std::string &ansiBytes) {
    return Narrow(AnsiToWide(ansiBytes));
}
