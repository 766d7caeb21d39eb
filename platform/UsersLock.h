#pragma once

// The lock a run holds while it works on the machine's users, so one run's
// healing never unloads a hive another run is reading: a file in a folder
// only System and administrators can write, held open shared with no one
// and deleted once closed. No standard user can make, hold or block it,
// and a run that is killed frees it at once.

#include "platform/IUserProfiles.h"
#include "platform/LogPlace.h"
#include "platform/Patience.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

// The lock file's name in its folder.
extern const char UsersLockFileName[];
// The security the lock file is made with: full control for SYSTEM and
// Administrators, nothing for anyone else, owned by Administrators, so no
// user can open, and hold, one that a power cut left behind.
extern const char UsersLockFileSddl[];

// Lock files as the system holds them.
class ILockFiles {
public:
    virtual ~ILockFiles() = default;
    // Creates the file at path with the security sddl describes, or opens
    // the one there, shared with no one and deleted once closed: held while
    // the result lives. Nothing when it cannot, with the Win32 code why in
    // error.
    virtual std::unique_ptr<IUsersLock> TryHold(const std::string &path, const std::string &sddl,
                                                std::int32_t &error) = 0;
};

// The lock, or the Win32 code why not and the lock file it is about.
struct UsersLockAttempt {
    std::unique_ptr<IUsersLock> lock;
    std::int32_t error = 0;
    std::string path;
};

// Makes folder as MakeGuardedFolder does, or uses the one there, throwing
// its refusal before any wait, then holds the lock file in it. While
// another run holds it (a sharing violation, or access denied while that
// run's file is being deleted) it tries again, for up to patience. Gives
// 32 (ERROR_SHARING_VIOLATION) when another run held it all that time,
// any other failure at once.
UsersLockAttempt TakeUsersLock(ILogPlaces &places, ILockFiles &files, IClock &clock,
                               const std::string &folder, std::chrono::milliseconds patience);
