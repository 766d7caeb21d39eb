#pragma once

// The users of this machine and their registry hives, for a run that acts
// for every one of them (as System, or elevated).

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A user's profile as the machine lists it.
struct UserProfile {
    // The ProfileList entry's name: the user's SID ("S-1-5-21-...",
    // "S-1-12-1-..."), or "<SID>.bak" for the profile Windows set aside when
    // it signed the user in with a temporary one (KindOfProfileEntry).
    std::string sid;
    std::string folder; // the profile folder, ProfileImagePath, in full form
};

// A user's hive, readable under HKEY_USERS\<Name()> while this lives.
class IUserHive {
public:
    virtual ~IUserHive() = default;
    // The key under HKEY_USERS: the user's SID when the hive was loaded
    // already (the user is signed in), else a name of Torvane's own,
    // "Torvane-<entry>".
    virtual const std::string &Name() const = 0;
    // The user's Local AppData from their hive (User Shell Folders, with
    // %USERPROFILE% made the profile folder), or nothing when it is not
    // there or names other variables.
    virtual std::optional<std::string> LocalAppData() = 0;
    // Unloads a hive this run loaded (or one an earlier run left, when the
    // run heals those), retrying while another process holds a key of it,
    // for up to 10 seconds with a growing pause; nothing for a hive it must
    // leave. Throws AppError when the hive stays loaded, and may be called
    // again later. The destructor unloads too, quietly, on paths that did
    // not call this.
    virtual void Unload() = 0;
};

// What a run does with hives under Torvane's own names that an earlier run
// left loaded below HKEY_USERS (it was killed, or could not unload them).
enum class LeftHives {
    Unload, // heal: unload them; a user's one that stays is read where it is
    Leave,  // a run that changes nothing: read them where they are, unload none
};

// A hive under Torvane's own name found loaded at the start of a run.
struct LeftHive {
    std::string name; // the key under HKEY_USERS
    bool unloaded;    // gone now: LeftHives::Unload unloaded it
    int unloadError;  // why it could not be unloaded, or 0
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
    // Every user of the machine: the profiles whose entry is a person's
    // (KindOfProfileEntry, set-aside ones too) and whose folder exists.
    // Throws AppError.
    virtual std::vector<UserProfile> Users() = 0;
    // Looks once at HKEY_USERS for hives an earlier run left under Torvane's
    // own names, and does with them what leftHives says. Called once, before
    // OpenHive; OpenHive then reads a user whose hive is among those still
    // loaded where it is. Throws AppError.
    virtual std::vector<LeftHive> FindLeftHives(LeftHives leftHives) = 0;
    // The user's hive: HKEY_USERS\<sid> where it is loaded; one an earlier
    // run left, where it is; otherwise the profile's NTUSER.MAN (a mandatory
    // profile) or NTUSER.DAT, loaded under "Torvane-<entry>" for as long as
    // the result lives. Throws AppError: Win32 code 2 when the profile has
    // neither file (nothing is created), else the failure to load it, after
    // which nothing of it is left under HKEY_USERS.
    virtual std::unique_ptr<IUserHive> OpenHive(const UserProfile &user) = 0;
};
