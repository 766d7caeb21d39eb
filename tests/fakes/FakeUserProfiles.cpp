#include "FakeUserProfiles.h"

#include <algorithm>

namespace {

AppError AccessDenied(const std::string &source) {
    return AppError(ErrorCategory::Win32, 5, "Access is denied.", source);
}

class FakeHive : public IUserHive {
public:
    FakeHive(FakeUserProfiles &owner, std::string name, bool ours,
             std::optional<std::string> localAppData)
        : owner_(owner), name_(std::move(name)), ours_(ours),
          localAppData_(std::move(localAppData)) {}
    ~FakeHive() override {
        if (ours_ && !owner_.unloadFailure) {
            owner_.TryUnload(name_);
        }
    }

    const std::string &Name() const override { return name_; }
    std::optional<std::string> LocalAppData() override { return localAppData_; }
    void Unload() override {
        if (!ours_) {
            return;
        }
        if (owner_.unloadFailure) {
            throw *owner_.unloadFailure;
        }
        if (owner_.TryUnload(name_) != 0) {
            throw AccessDenied("RegUnLoadKeyW");
        }
        ours_ = false;
    }

private:
    FakeUserProfiles &owner_;
    std::string name_;
    bool ours_;
    std::optional<std::string> localAppData_;
};

class FakeLock : public IUsersLock {
public:
    explicit FakeLock(std::vector<std::string> &events) : events_(events) {
        events_.push_back("lock");
    }
    ~FakeLock() override { events_.push_back("unlock"); }

private:
    std::vector<std::string> &events_;
};

} // namespace

int FakeUserProfiles::TryUnload(const std::string &name) {
    if (loaded.count(name) == 0) {
        return 2;
    }
    if (int &busy = busyUnloads[name]; busy > 0) {
        --busy;
        return 5;
    }
    loaded.erase(name);
    events.push_back("unload " + name);
    return 0;
}

std::unique_ptr<IUsersLock> FakeUserProfiles::LockUsers() {
    if (lockFailure) {
        throw *lockFailure;
    }
    return std::make_unique<FakeLock>(events);
}

std::vector<UserProfile> FakeUserProfiles::Users() {
    if (listFailure) {
        throw *listFailure;
    }
    std::vector<UserProfile> profiles;
    for (const User &user : users) {
        profiles.push_back(user.profile);
    }
    return profiles;
}

std::vector<LeftHive> FakeUserProfiles::FindLeftHives(LeftHives leftHives) {
    events.push_back("look at HKEY_USERS");
    unloadLeft_ = leftHives == LeftHives::Unload;
    std::vector<LeftHive> found;
    const std::set<std::string> before = loaded;
    for (const std::string &name : before) {
        LeftHive left{name, false, 0};
        if (unloadLeft_) {
            left.unloadError = TryUnload(name);
            left.unloaded = left.unloadError == 0;
        }
        if (!left.unloaded) {
            leftLoaded_.insert(name);
        }
        found.push_back(left);
    }
    return found;
}

std::unique_ptr<IUserHive> FakeUserProfiles::OpenHive(const UserProfile &profile) {
    const auto user = std::find_if(users.begin(), users.end(), [&](const User &candidate) {
        return candidate.profile.sid == profile.sid;
    });
    if (user == users.end()) {
        throw AppError(ErrorCategory::Win32, 1332, "No such user.", "OpenHive");
    }
    if (user->signedIn) {
        return std::make_unique<FakeHive>(*this, profile.sid, false, user->localAppData);
    }
    const std::string name = LoadedName(profile.sid);
    if (leftLoaded_.count(name) != 0 && loaded.count(name) != 0) {
        return std::make_unique<FakeHive>(*this, name, unloadLeft_, user->localAppData);
    }
    if (!user->hasHiveFile) {
        throw AppError(ErrorCategory::Win32, 2, "The system cannot find the file specified.",
                       "OpenHive");
    }
    if (const auto failure = loadFailures.find(profile.sid); failure != loadFailures.end()) {
        throw failure->second;
    }
    loaded.insert(name);
    events.push_back("load " + name);
    return std::make_unique<FakeHive>(*this, name, true, user->localAppData);
}
