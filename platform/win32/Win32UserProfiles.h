#pragma once

#include "platform/IUserProfiles.h"
#include "platform/win32/Win32Clock.h"

// The machine's user profiles, as the registry lists them, and their hives.
class Win32UserProfiles : public IUserProfiles {
public:
    Win32UserProfiles();
    // Waits on clock while a hive stays loaded.
    explicit Win32UserProfiles(IClock &clock);

    std::unique_ptr<IUsersLock> LockUsers() override;
    std::vector<UserProfile> ProfileEntries() override;
    std::vector<std::string> LoadedHives() override;
    std::string HiveFileOf(const std::string &folder) override;
    std::optional<std::string> LoadedAs(const std::string &file) override;
    void LoadHive(const std::string &name, const std::string &file) override;
    int UnloadHive(const std::string &name) override;
    std::optional<std::string> LocalAppData(const std::string &hive,
                                            const std::string &profileFolder) override;
    IClock &Clock() override { return clock_; }

private:
    Win32Clock systemClock_;
    IClock &clock_;
};
