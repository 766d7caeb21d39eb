#pragma once

// The users of this machine and their registry hives, for a run that acts
// for every one of them (as System, or elevated).

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A user's profile as the machine lists it.
struct UserProfile {
    std::string sid;    // "S-1-5-21-..."
    std::string folder; // the profile folder, ProfileImagePath, in full form
};

// A user's hive, readable under HKEY_USERS\<Name()> while this lives.
class IUserHive {
public:
    virtual ~IUserHive() = default;
    // The key under HKEY_USERS: the user's SID when the hive was loaded
    // already (the user is signed in), else a name of Torvane's own.
    virtual const std::string &Name() const = 0;
    // The user's Local AppData from their hive (User Shell Folders, with
    // %USERPROFILE% made the profile folder), or nothing when it is not
    // there or names other variables.
    virtual std::optional<std::string> LocalAppData() = 0;
    // Unloads a hive this loaded, retrying a few times; nothing for one
    // that was loaded already. Throws AppError when it stays loaded. The
    // destructor unloads too, quietly, on paths that did not call this.
    virtual void Unload() = 0;
};

class IUserProfiles {
public:
    virtual ~IUserProfiles() = default;
    // Every user of the machine: the profiles whose name is a user's SID
    // (S-1-5-21-...) and whose folder exists. Service accounts and the
    // Default profile are not users. Throws AppError.
    virtual std::vector<UserProfile> Users() = 0;
    // The user's hive: HKEY_USERS\<sid> where it is loaded; otherwise the
    // profile's NTUSER.DAT, loaded under a name of Torvane's own for as long
    // as the result lives. Throws AppError: Win32 code 2 when NTUSER.DAT
    // does not exist (nothing is created), else the failure to load it.
    virtual std::unique_ptr<IUserHive> OpenHive(const UserProfile &user) = 0;
};
