#pragma once

// What a run for every user does with their registry hives, over the
// providers' primitives: the one place that decides which hive is read
// where it is and which is loaded for the run, how long an unload is
// waited for, and what becomes of a hive an earlier run left loaded.

#include "platform/IUserProfiles.h"
#include "platform/PlatformServices.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// The key under HKEY_USERS a run loads the hive of a ProfileList entry
// under: "Torvane-<entry>", a name of its own that never meets the system's.
std::string OwnHiveName(const std::string &entry);

// A user's hive, readable under HKEY_USERS\<Name()> while this lives.
class UserHive {
public:
    UserHive(const UserHive &) = delete;
    UserHive &operator=(const UserHive &) = delete;
    // Unloads, quietly, a hive this run was to unload and never tried to.
    ~UserHive();

    // The user's SID when the system has the hive loaded (the user is
    // signed in), else the name it was loaded under.
    const std::string &Name() const { return name_; }
    // The user's Local AppData from the hive, or nothing (see
    // IUserProfiles::LocalAppData). Throws AppError.
    std::optional<std::string> LocalAppData();
    // Unloads a hive this run loaded (or heals), retrying while another
    // process holds a key of it, for up to 10 seconds with a growing pause;
    // nothing for a hive it must leave. Throws AppError when the hive stays
    // loaded, and may be called again later.
    void Unload();

private:
    friend class UserHives;
    UserHive(IUserProfiles &profiles, IApplication &application, std::string name,
             std::string profileFolder, bool unloads);

    IUserProfiles &profiles_;
    IApplication &application_;
    std::string name_;
    std::string profileFolder_;
    bool unloads_; // loaded still, and this run's to unload
    bool tried_ = false;
};

class UserHives {
public:
    // Errors are described by application.
    UserHives(IUserProfiles &profiles, IApplication &application, LeftHives leftHives);

    // Looks once at HKEY_USERS, before any Open, and does with the hives an
    // earlier run left under Torvane's names what leftHives says. Throws
    // AppError.
    std::vector<LeftHive> FindLeftHives();
    // The user's hive: where the system has it loaded (the user is signed
    // in, or another entry's hive is the same file); an earlier run's,
    // still loaded, where it is; else the profile's hive file loaded under
    // OwnHiveName for as long as the result lives. Throws AppError: Win32
    // code 2 when the profile has no hive file, else the failure to load it.
    std::unique_ptr<UserHive> Open(const UserProfile &user);

private:
    std::unique_ptr<UserHive> Hive(const std::string &name, const UserProfile &user, bool unloads);
    std::optional<std::string> LoadedElsewhere(const std::string &file);

    IUserProfiles &profiles_;
    IApplication &application_;
    LeftHives leftHives_;
    // HKEY_USERS as FindLeftHives found it, and of that what an earlier run
    // left that is loaded still.
    std::vector<std::string> loaded_;
    std::vector<std::string> leftLoaded_;
};
