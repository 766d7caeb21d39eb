#pragma once

// The machine's users as a test arranges them: which are signed in (their
// hive loaded already), which have a hive file, what their hive says of
// their Local AppData, and which hives an earlier run left loaded. It
// records every load and unload, and what stays loaded, so tests can prove
// each hive goes before the next.

#include "base/AppError.h"
#include "platform/IUserProfiles.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class FakeUserProfiles : public IUserProfiles {
public:
    struct User {
        UserProfile profile;
        bool signedIn = false;
        bool hasHiveFile = true;
        std::optional<std::string> localAppData;
    };

    std::vector<User> users;
    std::optional<AppError> listFailure;
    // Taking the machine's users fails so (another run holds them).
    std::optional<AppError> lockFailure;
    // Loading this user's hive fails so.
    std::map<std::string, AppError> loadFailures;
    // Every unload of a hive fails so, leaving it loaded.
    std::optional<AppError> unloadFailure;
    // How many unloads of the hive of that name fail with 5 before one
    // succeeds.
    std::map<std::string, int> busyUnloads;
    // "lock", "unlock", "look at HKEY_USERS", "load <name>" and
    // "unload <name>", in order.
    std::vector<std::string> events;
    // The hives under Torvane's names: loaded by the run, or by an earlier
    // one (arranged by the test), and still loaded.
    std::set<std::string> loaded;

    // The key a hive this loads gets under HKEY_USERS.
    static std::string LoadedName(const std::string &sid) { return "Torvane-" + sid; }
    // A run that had loaded the user's hive was killed.
    void LeaveLoadedByEarlierRun(const std::string &sid) { loaded.insert(LoadedName(sid)); }

    std::unique_ptr<IUsersLock> LockUsers() override;
    std::vector<UserProfile> Users() override;
    std::vector<LeftHive> FindLeftHives(LeftHives leftHives) override;
    std::unique_ptr<IUserHive> OpenHive(const UserProfile &user) override;

    // 0, or 5 with the hive left loaded; records a successful one.
    int TryUnload(const std::string &name);

private:
    // Found by FindLeftHives and still loaded, and whether the run may
    // unload them.
    std::set<std::string> leftLoaded_;
    bool unloadLeft_ = false;
};
