#pragma once

#include "platform/PlatformServices.h"

// An open registry key, closed when it goes out of scope.
class RegistryKey {
public:
    explicit RegistryKey(IRegistry &registry) : registry_(registry) {}
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;
    ~RegistryKey() {
        if (open_) {
            registry_.CloseKey(handle_);
        }
    }

    RegistryStatus Open(RootKeyValue root, const std::string &subKey, std::uint32_t access) {
        return Track(registry_.OpenKey(root, subKey, 0, access, handle_));
    }
    RegistryStatus Create(RootKeyValue root, const std::string &subKey, std::uint32_t access) {
        return Track(registry_.CreateKey(root, subKey, 0, access, handle_));
    }
    RegistryHandle Handle() const { return handle_; }

private:
    RegistryStatus Track(RegistryStatus status) {
        open_ = status == REGISTRY_SUCCESS;
        return status;
    }

    IRegistry &registry_;
    RegistryHandle handle_ = 0;
    bool open_ = false;
};
