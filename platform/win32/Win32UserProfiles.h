#pragma once

#include "platform/IUserProfiles.h"

// The machine's user profiles, as the registry lists them, and their hives.
class Win32UserProfiles : public IUserProfiles {
public:
    std::vector<UserProfile> Users() override;
    std::unique_ptr<IUserHive> OpenHive(const UserProfile &user) override;
};
