#include "core/UserHives.h"

#include "base/AsciiText.h"
#include "base/Win32Codes.h"
#include "core/Outcome.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

constexpr char OwnPrefix[] = "Torvane-";

// Unloading fails while another process (an antivirus, the search indexer,
// a management agent) has a key of the hive open; the user cannot sign in
// while it stays loaded, so it is worth waiting for.
constexpr std::chrono::milliseconds UnloadPatience(10000);

// Key names compare without regard to case; the ones compared here (SIDs,
// Torvane's names) are ASCII.
bool Among(const std::vector<std::string> &names, const std::string &name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string &other) {
        return AsciiText::SameIgnoringCase(other, name);
    });
}

bool IsOwnName(const std::string &name) {
    return name.size() > std::string_view(OwnPrefix).size() &&
           AsciiText::StartsIgnoringCase(name, OwnPrefix);
}

// 0 once the hive is gone: not loaded is what was asked for.
int UnloadPatiently(IUserProfiles &profiles, const std::string &name) {
    const int code = RetryWhileBusy(profiles.Clock(), UnloadPatience, HeldByAnother,
                                    [&] { return profiles.UnloadHive(name); });
    return code == Win32Code::FileNotFound ? 0 : code;
}

} // namespace

std::string OwnHiveName(const std::string &entry) { return OwnPrefix + entry; }

UserHive::UserHive(IUserProfiles &profiles, IApplication &application, std::string name,
                   std::string profileFolder, bool unloads)
    : profiles_(profiles), application_(application), name_(std::move(name)),
      profileFolder_(std::move(profileFolder)), unloads_(unloads) {}

UserHive::~UserHive() {
    // A caller of Unload heard of a hive that stays loaded: it is not
    // waited for twice.
    if (unloads_ && !tried_) {
        try {
            UnloadPatiently(profiles_, name_);
        } catch (const std::exception &) {
            // Nothing to tell it to.
        }
    }
}

std::optional<std::string> UserHive::LocalAppData() {
    return profiles_.LocalAppData(name_, profileFolder_);
}

void UserHive::Unload() {
    if (!unloads_) {
        return;
    }
    tried_ = true;
    const int code = UnloadPatiently(profiles_, name_);
    if (code != 0) {
        throw SystemError(application_, code, "RegUnLoadKeyW");
    }
    unloads_ = false;
}

UserHives::UserHives(IUserProfiles &profiles, IApplication &application, LeftHives leftHives)
    : profiles_(profiles), application_(application), leftHives_(leftHives) {}

std::vector<LeftHive> UserHives::FindLeftHives() {
    loaded_ = profiles_.LoadedHives();
    std::vector<LeftHive> found;
    for (const std::string &name : loaded_) {
        if (!IsOwnName(name)) {
            continue;
        }
        LeftHive left{name, false, 0};
        if (leftHives_ == LeftHives::Unload) {
            left.unloadError = UnloadPatiently(profiles_, name);
            left.unloaded = left.unloadError == 0;
        }
        if (!left.unloaded) {
            leftLoaded_.push_back(name);
        }
        found.push_back(left);
    }
    return found;
}

std::unique_ptr<UserHive> UserHives::Open(const UserProfile &user) {
    // Signed in: the system loaded it under the SID (never under a
    // set-aside profile's entry name), and unloads it at sign-out.
    if (Among(loaded_, user.sid)) {
        return Hive(user.sid, user, false);
    }
    const std::string name = OwnHiveName(user.sid);
    if (Among(leftLoaded_, name)) {
        return Hive(name, user, leftHives_ == LeftHives::Unload);
    }
    const std::string file = profiles_.HiveFileOf(user.folder);
    // The owner first, so nothing can fail between loading and owning.
    std::unique_ptr<UserHive> hive = Hive(name, user, false);
    try {
        profiles_.LoadHive(name, file);
    } catch (const AppError &failure) {
        // The system holds the file of a hive it has loaded, as long as it
        // is loaded: another entry's (a set-aside profile whose folder the
        // user signed in with again), or a user who signed in since.
        if (failure.IsWin32(Win32Code::SharingViolation)) {
            if (const std::optional<std::string> where = LoadedElsewhere(file)) {
                return Hive(*where, user, false);
            }
        }
        throw;
    }
    hive->unloads_ = true;
    return hive;
}

std::unique_ptr<UserHive> UserHives::Hive(const std::string &name, const UserProfile &user,
                                          bool unloads) {
    return std::unique_ptr<UserHive>(
        new UserHive(profiles_, application_, name, user.folder, unloads));
}

std::optional<std::string> UserHives::LoadedElsewhere(const std::string &file) {
    try {
        return profiles_.LoadedAs(file);
    } catch (const std::exception &) {
        // The load's own failure says more than this look's.
        return std::nullopt;
    }
}
