#pragma once

// An in-memory registry that answers as advapi32's ANSI entry points do in
// the cases the program meets: result codes, the size query, ERROR_MORE_DATA,
// strings with and without their NUL, zero-byte values. It also counts open
// keys so tests can prove every key is closed.

#include "ForbiddenChange.h"
#include "platform/PlatformServices.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
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
               std::uint32_t type, const std::string &data) {
        keys_[Name(root, subKey)][Fold(name)] = Value{type, data, std::nullopt};
    }
    // A string as a Unicode program stores it: the ANSI entry points read
    // ansiLookAlike, the wide one the text itself.
    void StoreUnicode(RootKeyValue root, const std::string &subKey, const std::string &name,
                      const std::string &text, const std::string &ansiLookAlike) {
        keys_[Name(root, subKey)][Fold(name)] =
            Value{RegistryType::String, ansiLookAlike + '\0', text};
    }
    void StoreKey(RootKeyValue root, const std::string &subKey) { keys_[Name(root, subKey)]; }
    std::optional<Value> Stored(RootKeyValue root, const std::string &subKey,
                                const std::string &name) const {
        const auto key = keys_.find(Name(root, subKey));
        if (key == keys_.end()) {
            return std::nullopt;
        }
        const auto value = key->second.find(Fold(name));
        if (value == key->second.end()) {
            return std::nullopt;
        }
        return value->second;
    }
    // Opening or creating this key fails with status.
    void Refuse(RootKeyValue root, const std::string &subKey, RegistryStatus status) {
        refused_[Name(root, subKey)] = status;
    }
    // The query that fills a buffer (not the size query) fails with status.
    void FailBufferedQueries(RegistryStatus status) { bufferedQueryFailure_ = status; }

    // Creating a key or setting a value throws ForbiddenChange.
    bool changesForbidden = false;

    std::size_t OpenKeyCount() const { return open_.size(); }
    const std::vector<std::string> &OpenedPaths() const { return openedPaths_; }
    const std::vector<std::uint32_t> &RequestedAccess() const { return requestedAccess_; }

    RegistryStatus OpenKey(RootKeyValue root, const std::string &subKey, std::uint32_t,
                           std::uint32_t access, RegistryHandle &key) override {
        openedPaths_.push_back(subKey);
        requestedAccess_.push_back(access);
        const KeyName name = Name(root, subKey);
        if (keys_.count(name) == 0) {
            return FILE_NOT_FOUND;
        }
        return Hand(name, key);
    }

    RegistryStatus CreateKey(RootKeyValue root, const std::string &subKey, std::uint32_t,
                             std::uint32_t access, RegistryHandle &key) override {
        if (changesForbidden) {
            throw ForbiddenChange{"create key " + subKey};
        }
        openedPaths_.push_back(subKey);
        requestedAccess_.push_back(access);
        const KeyName name = Name(root, subKey);
        const RegistryStatus status = Hand(name, key);
        if (status == REGISTRY_SUCCESS) {
            keys_[name];
        }
        return status;
    }

    RegistryStatus QueryValue(RegistryHandle key, const std::string &valueName, std::uint32_t &type,
                              unsigned char *data, std::uint32_t &size) override {
        RegistryStatus status = REGISTRY_SUCCESS;
        const Value *found = Find(key, valueName, status);
        if (found == nullptr) {
            return status;
        }
        const Value &value = *found;
        const auto length = static_cast<std::uint32_t>(value.data.size());
        type = value.type;
        if (data == nullptr) {
            size = length;
            return REGISTRY_SUCCESS;
        }
        if (bufferedQueryFailure_) {
            return *bufferedQueryFailure_;
        }
        if (size < length) {
            size = length;
            return MORE_DATA;
        }
        std::memcpy(data, value.data.data(), length);
        // Like the real registry, a string read with room to spare gets a
        // NUL after its data without the reported size changing.
        if (value.type == RegistryType::String && size > length) {
            data[length] = 0;
        }
        size = length;
        return REGISTRY_SUCCESS;
    }

    RegistryStatus SetValue(RegistryHandle key, const std::string &valueName, std::uint32_t type,
                            const unsigned char *data, std::uint32_t size) override {
        if (changesForbidden) {
            throw ForbiddenChange{"set value " + valueName};
        }
        const auto handle = open_.find(key);
        if (handle == open_.end()) {
            return INVALID_HANDLE;
        }
        keys_[handle->second][Fold(valueName)] =
            Value{type, std::string(reinterpret_cast<const char *>(data), size), std::nullopt};
        return REGISTRY_SUCCESS;
    }

    RegistryStatus CloseKey(RegistryHandle key) override {
        return open_.erase(key) == 1 ? REGISTRY_SUCCESS : INVALID_HANDLE;
    }

    RegistryStatus QueryStoredText(RegistryHandle key, const std::string &valueName,
                                   std::string &text) override {
        RegistryStatus status = REGISTRY_SUCCESS;
        const Value *value = Find(key, valueName, status);
        if (value == nullptr) {
            return status;
        }
        // The fake's code page passes text through, so its bytes are the text.
        text = value->storedText.value_or(value->data);
        if (!value->storedText && !text.empty() && text.back() == '\0') {
            text.pop_back();
        }
        return REGISTRY_SUCCESS;
    }

private:
    using KeyName = std::pair<RootKeyValue, std::string>; // path folded to upper case

    static std::string Fold(const std::string &text) {
        std::string folded = text;
        std::transform(folded.begin(), folded.end(), folded.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return folded;
    }
    static KeyName Name(RootKeyValue root, const std::string &subKey) {
        return {root, Fold(subKey)};
    }

    RegistryStatus Hand(const KeyName &name, RegistryHandle &key) {
        if (const auto refusal = refused_.find(name); refusal != refused_.end()) {
            return refusal->second;
        }
        key = nextHandle_++;
        open_[key] = name;
        return REGISTRY_SUCCESS;
    }

    const Value *Find(RegistryHandle key, const std::string &valueName, RegistryStatus &status) {
        const auto handle = open_.find(key);
        if (handle == open_.end()) {
            status = INVALID_HANDLE;
            return nullptr;
        }
        const auto &values = keys_[handle->second];
        const auto found = values.find(Fold(valueName));
        if (found == values.end()) {
            status = FILE_NOT_FOUND;
            return nullptr;
        }
        status = REGISTRY_SUCCESS;
        return &found->second;
    }

    std::map<KeyName, std::map<std::string, Value>> keys_;
    std::map<KeyName, RegistryStatus> refused_;
    std::map<RegistryHandle, KeyName> open_;
    RegistryHandle nextHandle_ = 0x100;
    std::optional<RegistryStatus> bufferedQueryFailure_;
    std::vector<std::string> openedPaths_;
    std::vector<std::uint32_t> requestedAccess_;
};
