#include "FakeUserProfiles.h"

#include <algorithm>

namespace {

class FakeHive : public IUserHive {
public:
    FakeHive(FakeUserProfiles &owner, std::string name, bool ours,
             std::optional<std::string> localAppData)
        : owner_(owner), name_(std::move(name)), ours_(ours),
          localAppData_(std::move(localAppData)) {}
    ~FakeHive() override {
        if (ours_ && owner_.loaded.count(name_) != 0 && !owner_.unloadFailure) {
            owner_.loaded.erase(name_);
            owner_.events.push_back("unload " + name_);
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
        owner_.loaded.erase(name_);
        owner_.events.push_back("unload " + name_);
    }

private:
    FakeUserProfiles &owner_;
    std::string name_;
    bool ours_;
    std::optional<std::string> localAppData_;
};

} // namespace

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
    if (!user->hasHiveFile) {
        throw AppError(ErrorCategory::Win32, 2, "The system cannot find the file specified.",
                       "OpenHive");
    }
    if (const auto failure = loadFailures.find(profile.sid); failure != loadFailures.end()) {
        throw failure->second;
    }
    const std::string name = LoadedName(profile.sid);
    loaded.insert(name);
    events.push_back("load " + name);
    return std::make_unique<FakeHive>(*this, name, true, user->localAppData);
}
