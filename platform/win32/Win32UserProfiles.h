#pragma once

#include "platform/IUserProfiles.h"
#include "platform/Patience.h"

#include <set>
#include <string>

// The machine's user profiles, as the registry lists them, and their hives.
class Win32UserProfiles : public IUserProfiles {
public:
    Win32UserProfiles();
    // Waits on clock while a hive stays loaded.
    explicit Win32UserProfiles(IClock &clock);

    std::unique_ptr<IUsersLock> LockUsers() override;
    std::vector<UserProfile> Users() override;
    std::vector<LeftHive> FindLeftHives(LeftHives leftHives) override;
    std::unique_ptr<IUserHive> OpenHive(const UserProfile &user) override;

private:
    IClock &clock_;
    // What FindLeftHives found still loaded, and whether the run may unload it.
    std::set<std::wstring> leftLoaded_;
    bool unloadLeft_ = false;
};
