#pragma once

// The machine's users as a test arranges them: which are signed in (their
// hive loaded already), which have an NTUSER.DAT, and what their hive says
// of their Local AppData. It records every load and unload, and what stays
// loaded, so tests can prove each hive goes before the next.

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
    // Loading this user's hive fails so.
    std::map<std::string, AppError> loadFailures;
    // Every unload of a hive fails so, leaving it loaded.
    std::optional<AppError> unloadFailure;
    // "load <name>" and "unload <name>", in order.
    std::vector<std::string> events;
    // The hives loaded by the run and still loaded.
    std::set<std::string> loaded;

    // The key a hive this loads gets under HKEY_USERS.
    static std::string LoadedName(const std::string &sid) { return "Torvane-" + sid; }

    std::vector<UserProfile> Users() override;
    std::unique_ptr<IUserHive> OpenHive(const UserProfile &user) override;
};
