#pragma once

#include "platform/PlatformServices.h"

#include <utility>

// The one owner of an open registry key: closed when it goes out of scope
// or is reset, including by a second Open or Create. Moves, never copies.
class RegistryKey {
public:
    explicit RegistryKey(IRegistry &registry) noexcept : registry_(&registry) {}
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;
    RegistryKey(RegistryKey &&other) noexcept
        : registry_(other.registry_), handle_(std::exchange(other.handle_, 0)),
          open_(std::exchange(other.open_, false)) {}
    RegistryKey &operator=(RegistryKey &&other) noexcept {
        if (this != &other) {
            reset();
            registry_ = other.registry_;
            handle_ = std::exchange(other.handle_, 0);
            open_ = std::exchange(other.open_, false);
        }
        return *this;
    }
    ~RegistryKey() { reset(); }

    RegistryStatus Open(RootKeyValue root, const std::string &subKey, std::uint32_t access) {
        reset();
        return Track(registry_->OpenKey(root, subKey, 0, access, handle_));
    }
    RegistryStatus Create(RootKeyValue root, const std::string &subKey, std::uint32_t access) {
        reset();
        return Track(registry_->CreateKey(root, subKey, 0, access, handle_));
    }
    RegistryHandle Handle() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return open_; }

    // Closes the key, if one is open.
    void reset() noexcept {
        if (std::exchange(open_, false)) {
            registry_->CloseKey(std::exchange(handle_, 0));
        }
    }

private:
    RegistryStatus Track(RegistryStatus status) {
        open_ = status == REGISTRY_SUCCESS;
        return status;
    }

    IRegistry *registry_;
    RegistryHandle handle_ = 0;
    bool open_ = false;
};
