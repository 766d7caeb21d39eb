#pragma once

#include "platform/IUserProfiles.h"

#include <windows.h>

#include <memory>
#include <string>

// A user's hive under HKEY_USERS: the one the system loaded for a signed-in
// user, or one this loaded from a profile's NTUSER.DAT and unloads.
class Win32UserHive : public IUserHive {
public:
    // The hive loaded already as HKEY_USERS\<sid>; Unload leaves it.
    static std::unique_ptr<Win32UserHive> InPlace(const UserProfile &user);
    // Loads file as HKEY_USERS\<name>, with the backup and restore
    // privileges enabled for just that. Throws Win32Error.
    static std::unique_ptr<Win32UserHive> Load(const UserProfile &user, const std::wstring &name,
                                               const std::wstring &file);

    Win32UserHive(const Win32UserHive &) = delete;
    Win32UserHive &operator=(const Win32UserHive &) = delete;
    ~Win32UserHive() override;

    const std::string &Name() const override { return name_; }
    std::optional<std::string> LocalAppData() override;
    void Unload() override;

private:
    Win32UserHive(std::string name, std::string profileFolder, bool loadedHere);

    std::string name_;
    std::string profileFolder_;
    bool loadedHere_;
};
