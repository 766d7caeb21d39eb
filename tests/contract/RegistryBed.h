#pragma once

// The registry a contract test runs against: the in-memory fake natively,
// advapi32 itself under Windows. Both must answer the same facts.

#include "platform/PlatformServices.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class RegistryBed {
public:
    // The key every contract test works under, below HKEY_CURRENT_USER.
    static constexpr const char *Branch = "Software";
    static constexpr const char *Maker = "TorvaneTest";
    static constexpr const char *Product = "Contract";
    static constexpr const char *Section = "Values";
    static std::string KeyPath() {
        return std::string(Branch) + "\\" + Maker + "\\" + Product + "\\" + Section;
    }

    virtual ~RegistryBed() = default;
    virtual IRegistry &Registry() = 0;
    virtual IAnsiCodePage &CodePage() = 0;
    // Stores exactly these bytes (no NUL added) as a value under KeyPath().
    virtual void Store(const std::string &name, std::uint32_t type, const std::string &bytes) = 0;
    // A string value as a Unicode program stores it (UTF-8 text here), whose
    // ANSI read the system gives as ansiLookAlike; the fake needs telling.
    virtual void StoreUnicode(const std::string &name, const std::string &text,
                              const std::string &ansiLookAlike) = 0;
    // Type and bytes of a value under KeyPath(), if there is one.
    virtual std::optional<std::pair<std::uint32_t, std::string>>
    Stored(const std::string &name) = 0;
};

// Each test program provides its own.
std::unique_ptr<RegistryBed> MakeRegistryBed();
