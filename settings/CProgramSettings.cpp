#include "settings/CProgramSettings.h"

#include "base/AppError.h"
#include "settings/RegistryKey.h"

#include <algorithm>
#include <vector>

namespace {

// Runs a data procedure; a failure inside it is reported under the
// procedure's name and the procedure returns onFailure.
template <typename Result, typename Body, typename Report>
Result ReportAndReturn(Result onFailure, Body body, Report report) {
    try {
        return body();
    } catch (const std::exception &failure) {
        report(failure);
        return onFailure;
    }
}

} // namespace

CProgramSettings::CProgramSettings(const PlatformServices &services) : services_(services) {}

std::string CProgramSettings::KeyPath() const {
    std::string path = mainBranch_ + "\\" + regBase_ + "\\" + program_ + "\\" + section_;
    if (path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

void CProgramSettings::ReportError(const std::exception &failure, const char *procedure) {
    const AppError error = ToAppError(failure, procedure);
    services_.dialogs.ShowMessage("Error: " + std::to_string(error.Number()) + ". " +
                                      error.Description(),
                                  MESSAGE_OK_ONLY, std::string(procedure));
}

std::string CProgramSettings::ReadEntry(const std::string &strEntry,
                                        const std::string &strDefault) {
    return ReportAndReturn(
        std::string(),
        [&] {
            std::string value = ToString(GetKeyValue(rootKey_, KeyPath(), strEntry));
            return value.empty() ? strDefault : value;
        },
        [&](const std::exception &failure) { ReportError(failure, "ReadEntry"); });
}

void CProgramSettings::WriteEntry(const std::string &strEntry, const std::string &strValue) {
    ReportAndReturn(
        0,
        [&] {
            SetKeyValue(rootKey_, KeyPath(), strEntry, strValue, RegistryType::String);
            return 0;
        },
        [&](const std::exception &failure) { ReportError(failure, "WriteEntry"); });
}

RegistryValue CProgramSettings::GetKeyValue(RootKeyValue hKey, const std::string &strKeyPath,
                                            const std::string &strValueName) {
    return ReportAndReturn(
        RegistryValue(), [&] { return ReadKeyValue(hKey, strKeyPath, strValueName); },
        [&](const std::exception &failure) { ReportError(failure, "GetKeyValue"); });
}

RegistryValue CProgramSettings::ReadKeyValue(RootKeyValue hKey, const std::string &strKeyPath,
                                             const std::string &strValueName) {
    const std::string name = services_.codePage.ToAnsi(strValueName);
    RegistryKey key(services_.registry);
    if (key.Open(hKey, services_.codePage.ToAnsi(strKeyPath), KEY_ACCESS) != REGISTRY_SUCCESS) {
        return {};
    }
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (services_.registry.QueryValue(key.Handle(), name, type, nullptr, size) !=
        REGISTRY_SUCCESS) {
        return {};
    }
    switch (type) {
    case RegistryType::String:
        return ReadString(key, name, size);
    case RegistryType::DWord:
        return ReadDWord(key, name);
    default:
        return {};
    }
}

RegistryValue CProgramSettings::ReadString(const RegistryKey &key, const std::string &name,
                                           std::uint32_t size) {
    IRegistry &registry = services_.registry;
    std::vector<unsigned char> buffer(size, 0);
    std::uint32_t type = 0;
    if (registry.QueryValue(key.Handle(), name, type, buffer.data(), size) != REGISTRY_SUCCESS) {
        return {};
    }
    // Never trust a reported size beyond the buffer we own.
    std::size_t copied = std::min<std::size_t>(size, buffer.size());
    if (copied == 0) {
        return std::string();
    }
    if (buffer[copied - 1] == 0) {
        --copied; // only the one terminating NUL
    }
    // Text a Unicode program stored with characters outside the code page
    // reads as look-alikes that may name another file: such a value counts
    // as unreadable.
    std::string stored;
    if (registry.QueryStoredText(key.Handle(), name, stored) != REGISTRY_SUCCESS ||
        !services_.codePage.Represents(stored)) {
        return {};
    }
    return services_.codePage.FromAnsi(
        std::string(reinterpret_cast<const char *>(buffer.data()), copied));
}

RegistryValue CProgramSettings::ReadDWord(const RegistryKey &key, const std::string &name) {
    unsigned char bytes[4] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof bytes;
    if (services_.registry.QueryValue(key.Handle(), name, type, bytes, size) != REGISTRY_SUCCESS) {
        return {};
    }
    // Registry integers are little-endian whatever the host.
    const std::uint32_t number = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                 (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(number);
}

void CProgramSettings::SetKeyValue(RootKeyValue hKey, const std::string &strKeyPath,
                                   const std::string &strValueName, const RegistryValue &value,
                                   std::uint32_t lngType) {
    ReportAndReturn(
        0,
        [&] {
            const std::string name = services_.codePage.ToAnsi(strValueName);
            std::string data = services_.codePage.ToAnsi(ToString(value));
            data.push_back('\0');
            RegistryKey key(services_.registry);
            // Result codes are deliberately not examined: an uncreatable key
            // simply leaves the value unwritten.
            if (key.Create(hKey, services_.codePage.ToAnsi(strKeyPath), KEY_ACCESS) ==
                REGISTRY_SUCCESS) {
                services_.registry.SetValue(key.Handle(), name, lngType,
                                            reinterpret_cast<const unsigned char *>(data.data()),
                                            static_cast<std::uint32_t>(data.size()));
            }
            return 0;
        },
        [&](const std::exception &failure) { ReportError(failure, "SetKeyValue"); });
}
