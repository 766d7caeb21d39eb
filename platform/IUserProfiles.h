#pragma once

// The users of this machine and their registry hives, for a run that acts
// for every one of them (as System, or elevated): the system's primitives
// only. Each call does one thing once and decides nothing; which hive to
// load, unload, heal, wait for or leave is decided above them, in
// core/UserHives, so every provider is held to the same rules.

#include "platform/Patience.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A ProfileList entry as the machine lists it.
struct UserProfile {
    // The entry's name: the user's SID ("S-1-5-21-...", "S-1-12-1-..."), or
    // "<SID>.bak" for the profile Windows set aside when it signed the user
    // in with a temporary one (KindOfProfileEntry).
    std::string sid;
    std::string folder; // the profile folder, ProfileImagePath, in full form
    // Why the folder cannot be read (missing, on a disk that is gone,
    // refused, not a folder), as a Win32 code; 0 when it can.
    int folderError = 0;
};

// Held while a run works on the machine's users; released when it goes.
class IUsersLock {
public:
    virtual ~IUsersLock() = default;
};

class IUserProfiles {
public:
    virtual ~IUserProfiles() = default;
    // Waits, up to a minute, until no other Torvane run works on this
    // machine's users, and keeps them for this run until the result goes
    // (see TakeUsersLock). Throws AppError: Win32 code 32 when the other
    // run did not end in time; a refusal when the lock's folder may have
    // been planted; any other failure as it came.
    virtual std::unique_ptr<IUsersLock> LockUsers() = 0;
    // Every entry of the machine's ProfileList that names a folder, people's
    // or not, each with whether its folder can be read. Throws AppError.
    virtual std::vector<UserProfile> ProfileEntries() = 0;
    // The names of the keys right below HKEY_USERS: the hives loaded now.
    // Throws AppError.
    virtual std::vector<std::string> LoadedHives() = 0;
    // The hive file of the profile in folder: its NTUSER.MAN (a mandatory
    // profile), else its NTUSER.DAT. Throws AppError: Win32 code 2, naming
    // NTUSER.DAT, when it has neither.
    virtual std::string HiveFileOf(const std::string &folder) = 0;
    // The key under HKEY_USERS the system has file loaded as (another
    // entry's, a signed-in user's), or nothing. Throws AppError.
    virtual std::optional<std::string> LoadedAs(const std::string &file) = 0;
    // Loads file, which exists (a missing one would be created), as
    // HKEY_USERS\<name>. Throws AppError; a failed load leaves nothing of
    // it under HKEY_USERS.
    virtual void LoadHive(const std::string &name, const std::string &file) = 0;
    // Tries once to unload HKEY_USERS\<name>: 0, or why not (2 when it is
    // not loaded, 5 or 32 while a key of it is held open).
    virtual int UnloadHive(const std::string &name) = 0;
    // The user's Local AppData as the hive loaded as HKEY_USERS\<hive> says
    // (User Shell Folders, with %USERPROFILE% made profileFolder), or
    // nothing when it is not there or names other variables. Throws AppError.
    virtual std::optional<std::string> LocalAppData(const std::string &hive,
                                                    const std::string &profileFolder) = 0;
    // The clock waits for a held hive are measured by.
    virtual IClock &Clock() = 0;
};
