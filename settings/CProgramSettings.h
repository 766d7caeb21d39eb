#pragma once

#include "platform/PlatformServices.h"
#include "settings/RegistryKey.h"
#include "settings/RegistryValue.h"

#include <cstdint>
#include <string>

// Named settings kept as registry values under
// RootKey\MainBranch\RegBase\Program\Section.
class CProgramSettings {
public:
    explicit CProgramSettings(const PlatformServices &services);

    // The value, or strDefault when nothing non-empty is stored.
    std::string ReadEntry(const std::string &strEntry, const std::string &strDefault);
    // Stores strValue as a string value, creating the key if need be.
    void WriteEntry(const std::string &strEntry, const std::string &strValue);

    const std::string &MainBranch() const { return mainBranch_; }
    void MainBranch(const std::string &strValue) { mainBranch_ = strValue; }
    const std::string &Program() const { return program_; }
    void Program(const std::string &strValue) { program_ = strValue; }
    const std::string &RegBase() const { return regBase_; }
    void RegBase(const std::string &strValue) { regBase_ = strValue; }
    RootKeyValue RootKey() const { return rootKey_; }
    void RootKey(RootKeyValue eValue) { rootKey_ = eValue; }
    const std::string &Section() const { return section_; }
    void Section(const std::string &strValue) { section_ = strValue; }

    // Access requested whenever a key is opened or created.
    static constexpr std::uint32_t KEY_ACCESS = 0x3F;

private:
    std::string KeyPath() const;
    RegistryValue GetKeyValue(RootKeyValue hKey, const std::string &strKeyPath,
                              const std::string &strValueName);
    // GetKeyValue's work, which throws what GetKeyValue reports: the key
    // opened, the value's type learned, and the value read by its type.
    RegistryValue ReadKeyValue(RootKeyValue hKey, const std::string &strKeyPath,
                               const std::string &strValueName);
    RegistryValue ReadString(const RegistryKey &key, const std::string &name, std::uint32_t size);
    RegistryValue ReadDWord(const RegistryKey &key, const std::string &name);
    void SetKeyValue(RootKeyValue hKey, const std::string &strKeyPath,
                     const std::string &strValueName, const RegistryValue &value,
                     std::uint32_t lngType);
    // Shows "Error: N. description" titled with the procedure's name.
    void ReportError(const std::exception &failure, const char *procedure);

    PlatformServices services_;
    RootKeyValue rootKey_ = HKEY_LOCAL_MACHINE_VALUE;
    std::string mainBranch_ = "SOFTWARE";
    std::string regBase_;
    std::string program_;
    std::string section_ = "Settings";
};
