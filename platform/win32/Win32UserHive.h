#pragma once

#include "platform/IUserProfiles.h"
#include "platform/Patience.h"

#include <windows.h>

#include <memory>
#include <string>

// A user's hive under HKEY_USERS: the one the system loaded for a signed-in
// user, or one this loaded from a profile's hive file and unloads. Every
// hive loaded here is known to UnloadEveryHiveNow until it is unloaded.
class Win32UserHive : public IUserHive {
public:
    // The hive loaded already as HKEY_USERS\<name>: by the system for a
    // signed-in user (unloadable false, Unload leaves it), or by an earlier
    // run (unloadable when the run heals such hives).
    static std::unique_ptr<Win32UserHive> InPlace(const std::string &name, const UserProfile &user,
                                                  bool unloadable, IClock &clock);
    // Loads file as HKEY_USERS\<name>, with the backup and restore
    // privileges enabled for just that. Throws Win32Error; a failed load
    // leaves nothing under that name.
    static std::unique_ptr<Win32UserHive> Load(const UserProfile &user, const std::wstring &name,
                                               const std::wstring &file, IClock &clock);
    // Unloads HKEY_USERS\<name>, retrying for up to 10 seconds while a key
    // of it is held open. Gives the last RegUnLoadKeyW status, 0 when the
    // name is not loaded (any more).
    static LSTATUS UnloadPatiently(const std::wstring &name, IClock &clock);

    Win32UserHive(const Win32UserHive &) = delete;
    Win32UserHive &operator=(const Win32UserHive &) = delete;
    ~Win32UserHive() override;

    const std::string &Name() const override { return name_; }
    std::optional<std::string> LocalAppData() override;
    void Unload() override;

private:
    Win32UserHive(std::string name, std::string profileFolder, IClock &clock);

    std::string name_;
    std::string profileFolder_;
    IClock &clock_;
    bool loadedHere_ = false;
};

// For a console's Ctrl+C, Ctrl+Break or close, which end the process, from
// the thread the system runs the handler on: making it unloads every hive
// loaded here, within about 3 seconds, and no hive is loaded while it lives.
class StoppedHiveLoads {
public:
    StoppedHiveLoads();
    StoppedHiveLoads(const StoppedHiveLoads &) = delete;
    StoppedHiveLoads &operator=(const StoppedHiveLoads &) = delete;
    ~StoppedHiveLoads();
};
