#pragma once

#include "platform/PlatformServices.h"

#include <windows.h>

// The registry through advapi32's ANSI entry points.
class Win32Registry : public IRegistry {
public:
    // The predefined root for a signed 32-bit root value, sign-extended as the
    // Windows headers define the predefined keys.
    static HKEY ToHkey(RootKeyValue root);

    RegistryStatus OpenKey(RootKeyValue root, const std::string &subKey, std::uint32_t options,
                           std::uint32_t access, RegistryHandle &key) override;
    RegistryStatus CreateKey(RootKeyValue root, const std::string &subKey, std::uint32_t options,
                             std::uint32_t access, RegistryHandle &key) override;
    RegistryStatus QueryValue(RegistryHandle key, const std::string &valueName, std::uint32_t &type,
                              unsigned char *data, std::uint32_t &size) override;
    RegistryStatus SetValue(RegistryHandle key, const std::string &valueName, std::uint32_t type,
                            const unsigned char *data, std::uint32_t size) override;
    RegistryStatus CloseKey(RegistryHandle key) override;
    RegistryStatus QueryStoredText(RegistryHandle key, const std::string &valueName,
                                   std::string &text) override;
};

class Win32AnsiCodePage : public IAnsiCodePage {
public:
    std::string ToAnsi(const std::string &text) override;
    std::string FromAnsi(const std::string &ansiBytes) override;
    bool Represents(const std::string &text) override;
};
