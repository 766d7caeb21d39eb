#pragma once

// The machine's users as a test arranges them, behind the system's
// primitives: which are signed in (their hive loaded under their SID),
// which profiles have a hive file, what each hive says of Local AppData,
// which hives are loaded under which names, and how long another process
// holds one. It records each lock, look at HKEY_USERS, load and unload, in
// order, and decides nothing: what to load, unload or wait for is the
// caller's to decide.

#include "FakeClock.h"
#include "base/AppError.h"
#include "platform/IUserProfiles.h"

#include <chrono>
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
        bool signedIn = false; // the system has the hive loaded under the SID
        bool hasHiveFile = true;
        std::optional<std::string> localAppData;
        // Loading the hive file fails so.
        std::optional<AppError> loadFailure;
        // The key the system has the hive file loaded as already, from
        // another entry.
        std::optional<std::string> loadedAs;
    };
    // Unloading the hive fails with code until the clock reaches until.
    struct Hold {
        int code = 5;
        std::chrono::milliseconds until = std::chrono::milliseconds::max();
    };

    std::vector<User> users;
    // Taking the machine's users fails so (another run holds them).
    std::optional<AppError> lockFailure;
    // By the name a hive is loaded under.
    std::map<std::string, Hold> holds;
    // "lock", "unlock", "look at HKEY_USERS", "load <name>" and
    // "unload <name>" (each try), in order.
    std::vector<std::string> events;
    // The hives loaded under names of their own: by the run, or by an
    // earlier one (arranged by the test).
    std::set<std::string> loaded;
    FakeClock clock;

    // A user whose profile is in folder.
    User &AddUser(const std::string &sid, const std::string &folder, bool signedIn = false) {
        User user;
        user.profile = {sid, folder};
        user.signedIn = signedIn;
        users.push_back(user);
        return users.back();
    }

    std::unique_ptr<IUsersLock> LockUsers() override {
        if (lockFailure) {
            throw *lockFailure;
        }
        return std::make_unique<Lock>(events);
    }

    std::vector<UserProfile> ProfileEntries() override {
        std::vector<UserProfile> entries;
        for (const User &user : users) {
            entries.push_back(user.profile);
        }
        return entries;
    }

    std::vector<std::string> LoadedHives() override {
        events.push_back("look at HKEY_USERS");
        const std::set<std::string> names = LoadedNow();
        return {names.begin(), names.end()};
    }

    std::string HiveFileOf(const std::string &folder) override {
        for (const User &user : users) {
            if (user.profile.folder == folder && user.hasHiveFile) {
                return HiveFile(user);
            }
        }
        throw AppError(ErrorCategory::Win32, 2, "The system cannot find the file specified.",
                       "GetFileAttributesW");
    }

    std::optional<std::string> LoadedAs(const std::string &file) override {
        return UserOf(file).loadedAs;
    }

    void LoadHive(const std::string &name, const std::string &file) override {
        events.push_back("load " + name);
        const User &user = UserOf(file);
        if (user.loadFailure) {
            throw *user.loadFailure;
        }
        if (!loaded.insert(name).second) {
            throw AppError(ErrorCategory::Win32, 183, "Already exists.", "RegLoadKeyW");
        }
    }

    int UnloadHive(const std::string &name) override {
        events.push_back("unload " + name);
        if (loaded.count(name) == 0) {
            return 2;
        }
        if (const auto hold = holds.find(name);
            hold != holds.end() && clock.now < hold->second.until) {
            return hold->second.code;
        }
        loaded.erase(name);
        return 0;
    }

    // What the user's hive says, while it is loaded under hive.
    std::optional<std::string> LocalAppData(const std::string &hive,
                                            const std::string &profileFolder) override {
        if (LoadedNow().count(hive) == 0) {
            return std::nullopt;
        }
        for (const User &user : users) {
            if (user.profile.folder == profileFolder) {
                return user.localAppData;
            }
        }
        return std::nullopt;
    }

    IClock &Clock() override { return clock; }

private:
    class Lock : public IUsersLock {
    public:
        explicit Lock(std::vector<std::string> &events) : events_(events) {
            events_.push_back("lock");
        }
        ~Lock() override { events_.push_back("unlock"); }

    private:
        std::vector<std::string> &events_;
    };

    static std::string HiveFile(const User &user) { return user.profile.folder + "\\NTUSER.DAT"; }

    const User &UserOf(const std::string &file) const {
        for (const User &user : users) {
            if (HiveFile(user) == file) {
                return user;
            }
        }
        throw AppError(ErrorCategory::Win32, 2, "No such hive file.", file);
    }

    // Every key under HKEY_USERS now, without recording a look.
    std::set<std::string> LoadedNow() const {
        std::set<std::string> names = loaded;
        for (const User &user : users) {
            if (user.signedIn) {
                names.insert(user.profile.sid);
            }
            if (user.loadedAs) {
                names.insert(*user.loadedAs);
            }
        }
        return names;
    }
};
