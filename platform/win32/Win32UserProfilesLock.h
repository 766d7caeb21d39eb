#pragma once

#include "platform/IUserProfiles.h"
#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <memory>

// The machine-wide mutex held by the run that works on the machine's users,
// so one run's healing never unloads a hive another run is reading. It lives
// in a private namespace only System and administrators can make or open, so
// no standard user can make it first and hold it.
class Win32UserProfilesLock : public IUsersLock {
public:
    // Waits up to wait milliseconds for the mutex. Throws Win32Error:
    // ERROR_SHARING_VIOLATION when another run held it all that time.
    static std::unique_ptr<Win32UserProfilesLock> Take(DWORD wait);

    Win32UserProfilesLock(const Win32UserProfilesLock &) = delete;
    Win32UserProfilesLock &operator=(const Win32UserProfilesLock &) = delete;
    ~Win32UserProfilesLock() override;

private:
    Win32UserProfilesLock(unique_namespace space, unique_handle mutex)
        : namespace_(std::move(space)), mutex_(std::move(mutex)) {}

    // Declared first, so closed after the mutex inside it.
    unique_namespace namespace_;
    unique_handle mutex_;
};
