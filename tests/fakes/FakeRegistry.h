#pragma once

// An in-memory registry that answers as advapi32's ANSI entry points do in
// the cases the program meets: result codes, the size query, ERROR_MORE_DATA,
// strings with and without their NUL, zero-byte values. It also counts open
// keys so tests can prove every key is closed.

#include "platform/PlatformServices.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class FakeRegistry : public IRegistry {
public:
    static constexpr RegistryStatus FILE_NOT_FOUND = 2;
    static constexpr RegistryStatus ACCESS_DENIED = 5;
    static constexpr RegistryStatus INVALID_HANDLE = 6;
    static constexpr RegistryStatus MORE_DATA = 234;

    struct Value {
        std::uint32_t type;
        std::string data;
        // What a Unicode program stored, when data is only its ANSI look-alike.
        std::optional<std::string> storedText;
    };

    void Store(RootKeyValue root, const std::string &subKey, const std::string &name,
               std::uint32_t type, const std::string &data);
    // A string as a Unicode program stores it: the ANSI entry points read
    // ansiLookAlike, the wide one the text itself.
    void StoreUnicode(RootKeyValue root, const std::string &subKey, const std::string &name,
                      const std::string &text, const std::string &ansiLookAlike);
    void StoreKey(RootKeyValue root, const std::string &subKey);
    std::optional<Value> Stored(RootKeyValue root, const std::string &subKey,
                                const std::string &name) const;
    // Opening or creating this key fails with status.
    void Refuse(RootKeyValue root, const std::string &subKey, RegistryStatus status);
    // The query that fills a buffer (not the size query) fails with status.
    void FailBufferedQueries(RegistryStatus status) { bufferedQueryFailure_ = status; }

    // Creating a key or setting a value throws ForbiddenChange.
    bool changesForbidden = false;

    std::size_t OpenKeyCount() const { return open_.size(); }
    const std::vector<std::string> &OpenedPaths() const { return openedPaths_; }
    const std::vector<std::uint32_t> &RequestedAccess() const { return requestedAccess_; }

    RegistryStatus OpenKey(RootKeyValue root, const std::string &subKey, std::uint32_t options,
                           std::uint32_t access, RegistryHandle &key) override;
    RegistryStatus CreateKey(RootKeyValue root, const std::string &subKey, std::uint32_t options,
                             std::uint32_t access, RegistryHandle &key) override;
    RegistryStatus QueryValue(RegistryHandle key, const std::string &valueName, std::uint32_t *type,
                              unsigned char *data, std::uint32_t *size) override;
    RegistryStatus SetValue(RegistryHandle key, const std::string &valueName, std::uint32_t type,
                            const unsigned char *data, std::uint32_t size) override;
    RegistryStatus CloseKey(RegistryHandle key) override;
    RegistryStatus QueryStoredText(RegistryHandle key, const std::string &valueName,
                                   std::string &text) override;

private:
    using KeyName = std::pair<RootKeyValue, std::string>; // path folded to upper case
    static KeyName Name(RootKeyValue root, const std::string &subKey);
    static std::string Fold(const std::string &text);
    RegistryStatus Hand(const KeyName &name, RegistryHandle &key);
    const Value *Find(RegistryHandle key, const std::string &valueName, RegistryStatus &status);

    std::map<KeyName, std::map<std::string, Value>> keys_;
    std::map<KeyName, RegistryStatus> refused_;
    std::map<RegistryHandle, KeyName> open_;
    RegistryHandle nextHandle_ = 0x100;
    std::optional<RegistryStatus> bufferedQueryFailure_;
    std::vector<std::string> openedPaths_;
    std::vector<std::uint32_t> requestedAccess_;
};
