#include "FakeRegistry.h"

#include "ForbiddenChange.h"

#include <algorithm>
#include <cctype>
#include <cstring>

std::string FakeRegistry::Fold(const std::string &text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return folded;
}

FakeRegistry::KeyName FakeRegistry::Name(RootKeyValue root, const std::string &subKey) {
    return {root, Fold(subKey)};
}

void FakeRegistry::Store(RootKeyValue root, const std::string &subKey, const std::string &name,
                         std::uint32_t type, const std::string &data) {
    keys_[Name(root, subKey)][Fold(name)] = Value{type, data, std::nullopt};
}

void FakeRegistry::StoreUnicode(RootKeyValue root, const std::string &subKey,
                                const std::string &name, const std::string &text,
                                const std::string &ansiLookAlike) {
    keys_[Name(root, subKey)][Fold(name)] = Value{RegistryType::String, ansiLookAlike + '\0', text};
}

void FakeRegistry::StoreKey(RootKeyValue root, const std::string &subKey) {
    keys_[Name(root, subKey)];
}

std::optional<FakeRegistry::Value>
FakeRegistry::Stored(RootKeyValue root, const std::string &subKey, const std::string &name) const {
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

void FakeRegistry::Refuse(RootKeyValue root, const std::string &subKey, RegistryStatus status) {
    refused_[Name(root, subKey)] = status;
}

RegistryStatus FakeRegistry::Hand(const KeyName &name, RegistryHandle &key) {
    if (const auto refusal = refused_.find(name); refusal != refused_.end()) {
        return refusal->second;
    }
    key = nextHandle_++;
    open_[key] = name;
    return REGISTRY_SUCCESS;
}

RegistryStatus FakeRegistry::OpenKey(RootKeyValue root, const std::string &subKey, std::uint32_t,
                                     std::uint32_t access, RegistryHandle &key) {
    openedPaths_.push_back(subKey);
    requestedAccess_.push_back(access);
    const KeyName name = Name(root, subKey);
    if (keys_.count(name) == 0) {
        return FILE_NOT_FOUND;
    }
    return Hand(name, key);
}

RegistryStatus FakeRegistry::CreateKey(RootKeyValue root, const std::string &subKey, std::uint32_t,
                                       std::uint32_t access, RegistryHandle &key) {
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

const FakeRegistry::Value *FakeRegistry::Find(RegistryHandle key, const std::string &valueName,
                                              RegistryStatus &status) {
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

RegistryStatus FakeRegistry::QueryStoredText(RegistryHandle key, const std::string &valueName,
                                             std::string &text) {
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

RegistryStatus FakeRegistry::QueryValue(RegistryHandle key, const std::string &valueName,
                                        std::uint32_t *type, unsigned char *data,
                                        std::uint32_t *size) {
    RegistryStatus status = REGISTRY_SUCCESS;
    const Value *found = Find(key, valueName, status);
    if (found == nullptr) {
        return status;
    }
    const Value &value = *found;
    const auto length = static_cast<std::uint32_t>(value.data.size());
    if (type != nullptr) {
        *type = value.type;
    }
    if (data == nullptr) {
        if (size != nullptr) {
            *size = length;
        }
        return REGISTRY_SUCCESS;
    }
    if (bufferedQueryFailure_) {
        return *bufferedQueryFailure_;
    }
    if (size == nullptr) {
        return 998; // ERROR_NOACCESS: a buffer without a size
    }
    if (*size < length) {
        *size = length;
        return MORE_DATA;
    }
    std::memcpy(data, value.data.data(), length);
    // Like the real registry, a string read with room to spare gets a NUL
    // after its data without the reported size changing.
    if (value.type == RegistryType::String && *size > length) {
        data[length] = 0;
    }
    *size = length;
    return REGISTRY_SUCCESS;
}

RegistryStatus FakeRegistry::SetValue(RegistryHandle key, const std::string &valueName,
                                      std::uint32_t type, const unsigned char *data,
                                      std::uint32_t size) {
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

RegistryStatus FakeRegistry::CloseKey(RegistryHandle key) {
    return open_.erase(key) == 1 ? REGISTRY_SUCCESS : INVALID_HANDLE;
}
