#include "core/AllUsersJob.h"

#include "base/Win32Codes.h"
#include "core/DatabaseRules.h"
#include "platform/PeoplesSids.h"

#include <algorithm>
#include <string_view>

namespace {

// "ann (S-1-5-21-...)": the profile folder's name, then the SID.
std::string UserLabel(const UserProfile &user) {
    const std::size_t name = user.folder.rfind('\\');
    return user.folder.substr(name == std::string::npos ? 0 : name + 1) + " (" + user.sid + ")";
}

bool EndsWithMdb(IFileSystem &files, const std::string &path) {
    constexpr std::size_t extension = 4; // ".mdb"
    return path.size() > extension && files.SameName(path.substr(path.size() - extension), ".mdb");
}

// The default path's own folder, under each of the machine's Program Files.
std::vector<std::string> ProductFolders(ISystemFolders &folders) {
    const std::string_view path = DatabaseRules::DefaultDatabasePath;
    const std::string_view folder = path.substr(0, path.rfind('\\'));
    const std::string name(folder.substr(folder.rfind('\\') + 1));
    std::vector<std::string> product;
    for (const std::string &programFiles : folders.ProgramFilesFolders()) {
        product.push_back(programFiles + "\\" + name);
    }
    return product;
}

class EveryUserSearch {
public:
    EveryUserSearch(const PlatformServices &services, IUserProfiles &profiles,
                    const std::optional<std::string> &path, RunReport &report, LeftHives leftHives)
        : services_(services), profiles_(profiles), path_(path), report_(report),
          leftHives_(leftHives), hives_(profiles, services.application, leftHives) {}

    EveryUsersCopies Run() {
        std::vector<UserProfile> entries;
        try {
            entries = profiles_.ProfileEntries();
            result_.virtualizedFolders = services_.folders.VirtualizedFolders();
            result_.productFolders = ProductFolders(services_.folders);
        } catch (const std::exception &failure) {
            Fail("Nothing changed: cannot list the users of this machine", failure);
            return result_;
        }
        LookForLeftHives();
        for (const UserProfile &entry : entries) {
            if (KindOfProfileEntry(entry.sid) == ProfileEntryKind::NotAPerson) {
                continue;
            }
            if (entry.folderError != 0) {
                Unreachable(entry);
            } else {
                Find(entry);
            }
        }
        // A leftover whose entry is no user's any more is not tried again.
        for (const LeftHive &left : stillLeft_) {
            report_.Line(FailureLine("HKEY_USERS\\" + left.name + ", left loaded by an earlier " +
                                         "run, stays loaded: no user of this machine has it",
                                     services_.application, left.unloadError));
            if (result_.failure == 0) {
                result_.failure = left.unloadError;
            }
        }
        return std::move(result_);
    }

private:
    // Once a run, before any user's hive is opened.
    void LookForLeftHives() {
        std::vector<LeftHive> found;
        try {
            found = hives_.FindLeftHives();
        } catch (const std::exception &failure) {
            Fail("Cannot look for hives an earlier run left loaded", failure);
            return;
        }
        for (const LeftHive &left : found) {
            const std::string hive = "HKEY_USERS\\" + left.name + ", left loaded by an earlier run";
            if (left.unloaded) {
                report_.Line(hive + ", was unloaded.");
            } else if (leftHives_ == LeftHives::Leave) {
                report_.Line(hive + ", is read where it is and left loaded.");
            } else {
                report_.Line(FailureLine(hive + ", cannot be unloaded yet: its user is read " +
                                             "from it where it is, and it is unloaded at the end",
                                         services_.application, left.unloadError));
                stillLeft_.push_back(left);
            }
        }
    }

    // A signed-out FSLogix or roaming profile, a disk that is gone: nothing
    // of the user to read or look in. Said and counted, not a failure.
    void Unreachable(const UserProfile &user) {
        const int code = user.folderError;
        report_.Line(UserLabel(user) + ": not done: the profile folder " + user.folder +
                     " cannot be reached (error " + std::to_string(code) + ": " +
                     services_.application.ErrorText(code) + ").");
        ++result_.unreachableProfiles;
    }

    void Find(const UserProfile &user) {
        const std::string label = UserLabel(user);
        std::unique_ptr<UserHive> hive;
        try {
            hive = hives_.Open(user);
        } catch (const std::exception &failure) {
            if (ToAppError(failure).IsWin32(Win32Code::FileNotFound)) {
                FindWithoutSetting(label, user,
                                   user.folder + " has no NTUSER.DAT or NTUSER.MAN, so the " +
                                       "user's settings cannot be read; ");
            } else {
                Fail(label + ": cannot read the user's settings", failure);
                FindWithoutSetting(label, user, "");
            }
            return;
        }
        std::string path;
        bool fromUser = false;
        std::string localAppData;
        try {
            path = path_ ? *path_ : ReadSetting(hive->Name());
            fromUser = !path_ && path != DatabaseRules::DefaultDatabasePath;
            localAppData = hive->LocalAppData().value_or(ProfileLocalAppData(user));
        } catch (const std::exception &failure) {
            Fail(label + ": cannot read the user's settings", failure);
            Unload(label, std::move(hive));
            FindWithoutSetting(label, user, "");
            return;
        }
        Unload(label, std::move(hive));
        Add(label, user, path, fromUser, localAppData);
    }

    // No setting: the copies of the path the window would take, and the
    // VirtualStore copy where Windows keeps it by default. A profile
    // without a hive is worth a line (why), not a failure.
    void FindWithoutSetting(const std::string &label, const UserProfile &user,
                            const std::string &why) {
        const std::string path = path_ ? *path_ : std::string(DatabaseRules::DefaultDatabasePath);
        const std::string localAppData = ProfileLocalAppData(user);
        report_.Line(label + ": " + why + "looking for copies of " + path + " with Local AppData " +
                     localAppData + ".");
        Add(label, user, path, false, localAppData);
    }

    static std::string ProfileLocalAppData(const UserProfile &user) {
        return user.folder + "\\AppData\\Local";
    }

    // The hive goes before the next user's is loaded; one that stays is
    // tried again at the end of the run, as is one an earlier run left.
    void Unload(const std::string &label, std::unique_ptr<UserHive> hive) {
        const auto leftEarlier =
            std::find_if(stillLeft_.begin(), stillLeft_.end(),
                         [&](const LeftHive &left) { return left.name == hive->Name(); });
        if (leftEarlier != stillLeft_.end()) {
            stillLeft_.erase(leftEarlier);
        } else {
            try {
                hive->Unload();
                return;
            } catch (const std::exception &failure) {
                report_.Line(
                    FailureLine(label + ": the user's hive " + hive->Name() + " stays loaded",
                                ToAppError(failure)));
            }
        }
        result_.hivesLeftLoaded.push_back({label, std::move(hive)});
    }

    // The user's setting, read by the settings store as the window reads it.
    std::string ReadSetting(const std::string &hive) {
        CProgramSettings settings(services_);
        return DatabaseRules::ReadDatabasePath(settings, HKEY_USERS_VALUE, hive + "\\SOFTWARE");
    }

    void Add(const std::string &label, const UserProfile &user, const std::string &path,
             bool fromUser, const std::string &localAppData) {
        try {
            AddCopies(label, user, path, fromUser, localAppData);
        } catch (const std::exception &failure) {
            Fail(label + ": cannot tell where " + path + " is", failure);
        }
    }

    void AddCopies(const std::string &label, const UserProfile &user, const std::string &path,
                   bool fromUser, const std::string &localAppData) {
        IFileSystem &files = services_.files;
        UserCopies found{label, user.folder,
                         CopiesOf(files, files.FullPath(path), result_.virtualizedFolders,
                                  files.FullPath(localAppData))};
        // The path itself comes last; the user controls it when it came from
        // their setting, and it is listed once, for the first user.
        DatabaseCopy &own = found.copies.back();
        own.userControlled = fromUser;
        const bool listed =
            std::any_of(listed_.begin(), listed_.end(), [&](const std::string &earlier) {
                return files.SameName(earlier, own.path);
            });
        if (listed) {
            found.copies.pop_back();
        } else {
            listed_.push_back(own.path);
        }
        result_.users.push_back(std::move(found));
    }

    void Fail(const std::string &what, const std::exception &failure) {
        const AppError error = ToAppError(failure);
        report_.Line(FailureLine(what, error));
        if (result_.failure == 0) {
            result_.failure = ExitCodeFor(error);
        }
    }

    const PlatformServices &services_;
    IUserProfiles &profiles_;
    const std::optional<std::string> &path_;
    RunReport &report_;
    LeftHives leftHives_;
    UserHives hives_;
    // Hives an earlier run left that this run could not unload at its
    // start, and no user has been read from yet.
    std::vector<LeftHive> stillLeft_;
    std::vector<std::string> listed_;
    EveryUsersCopies result_;
};

// Why a copy that came from a user is left alone, or nothing when the run
// may act on it, with the folder it is allowed in set: no more than that
// user could do. An .mdb file inside the user's own profile, or inside the
// product's own folder; anything else in the folders Windows virtualizes is
// another program's. A path written elsewhere is allowed in the profile,
// which the rename then proves its final path lies in (a profile reached
// through one of Windows' compatibility junctions). The rename never
// follows a link.
std::optional<std::string> WhyLeftAlone(IFileSystem &files, const EveryUsersCopies &everyone,
                                        const UserCopies &user, DatabaseCopy &copy) {
    if (!copy.userControlled) {
        return std::nullopt;
    }
    if (!EndsWithMdb(files, copy.path)) {
        return copy.path + " is not an .mdb file";
    }
    const auto inside = [&](const std::string &folder) {
        return IsInsideFolder(files, copy.path, folder);
    };
    copy.allowedFolder = user.profileFolder;
    if (inside(user.profileFolder)) {
        return std::nullopt;
    }
    const std::vector<std::string> &product = everyone.productFolders;
    if (const auto own = std::find_if(product.begin(), product.end(), inside);
        own != product.end()) {
        copy.allowedFolder = *own;
        return std::nullopt;
    }
    const std::vector<std::string> &virtualized = everyone.virtualizedFolders;
    if (const auto other = std::find_if(virtualized.begin(), virtualized.end(), inside);
        other != virtualized.end()) {
        return copy.path + " lies in " + *other + " but not in " + ListOf(product, "or");
    }
    return std::nullopt;
}

} // namespace

EveryUsersCopies FindEveryUsersCopies(const PlatformServices &services, IUserProfiles &profiles,
                                      const std::optional<std::string> &path, RunReport &report,
                                      LeftHives leftHives) {
    return EveryUserSearch(services, profiles, path, report, leftHives).Run();
}

Outcome UnloadHivesLeftLoaded(EveryUsersCopies &everyone) {
    Outcome outcome;
    for (const LoadedHive &left : everyone.hivesLeftLoaded) {
        try {
            left.hive->Unload();
        } catch (const std::exception &failure) {
            const AppError error = ToAppError(failure);
            outcome.lines.push_back(FailureLine(
                left.user + ": the user's hive HKEY_USERS\\" + left.hive->Name() +
                    " is still loaded at the end of the run, which keeps the user from " +
                    "signing in until it is unloaded",
                error));
            if (outcome.exitCode == 0) {
                outcome.exitCode = ExitCodeFor(error);
            }
        }
    }
    everyone.hivesLeftLoaded.clear();
    return outcome;
}

Plan PlanEveryUsersCopies(const PlatformServices &services, const EveryUsersCopies &everyone,
                          Direction direction) {
    Plan plan;
    plan.direction = direction;
    std::vector<std::string> listed;
    for (const UserCopies &user : everyone.users) {
        for (const DatabaseCopy &copy : user.copies) {
            // Each distinct file once, for the first user it belongs to.
            const bool seen =
                std::any_of(listed.begin(), listed.end(), [&](const std::string &earlier) {
                    return services.files.SameName(earlier, copy.path);
                });
            if (seen) {
                continue;
            }
            listed.push_back(copy.path);
            DatabaseCopy allowed = copy;
            const std::optional<std::string> why =
                WhyLeftAlone(services.files, everyone, user, allowed);
            PlanUnit unit = UnitOf(user.user, {allowed});
            unit.copies.front().leftAlone = why;
            plan.units.push_back(std::move(unit));
        }
    }
    Decide(services, plan);
    return plan;
}

Outcome EveryUsersOutcome(const PlatformServices &services, const EveryUsersCopies &everyone,
                          const Plan &plan) {
    Outcome outcome;
    int failure = everyone.failure;
    const auto failed = [&](int code) {
        if (failure == 0) {
            failure = code;
        }
    };
    bool foundAny = false;
    int moved = 0;
    int alreadyDone = 0;
    // A user none of whose files holds anything gets one line for them all.
    const std::string *user = nullptr;
    bool userHasLines = false;
    std::string userPath;
    const auto endUser = [&] {
        if (user != nullptr && !userHasLines && !userPath.empty()) {
            outcome.lines.push_back(*user + ": no database here: " + userPath +
                                    " holds no file, nor does any copy of it.");
        }
    };
    for (const PlanUnit &unit : plan.units) {
        if (user == nullptr || *user != unit.user) {
            endUser();
            user = &unit.user;
            userHasLines = false;
            userPath.clear();
        }
        for (const PlannedCopy &planned : unit.copies) {
            if (planned.leftAlone) {
                outcome.lines.push_back(unit.user + ": " +
                                        FailureLine("Left alone: " + *planned.leftAlone,
                                                    services.application, Win32Code::AccessDenied));
                failed(Win32Code::AccessDenied);
                userHasLines = true;
            }
        }
        const CopyOutcome moves = UnitOutcome(services.application, unit, plan.direction);
        foundAny = foundAny || moves.foundAny;
        moved += moves.moved;
        alreadyDone += moves.alreadyDone;
        if (!moves.foundAny && !unit.stop) {
            userPath = unit.copies.back().copy.path;
            continue;
        }
        userHasLines = true;
        for (const std::string &line : moves.lines) {
            outcome.lines.push_back(unit.user + ": " + line);
        }
        if (moves.exitCode != 0) {
            failed(moves.exitCode);
        }
    }
    endUser();
    const std::string counts = std::to_string(everyone.users.size()) + " users, " +
                               std::to_string(moved) + " copies " +
                               (plan.direction == Direction::SetAside ? "renamed" : "restored") +
                               " now, " + std::to_string(alreadyDone) + " found so already";
    if (failure != 0) {
        outcome.exitCode = failure;
        outcome.lines.push_back(
            FailureLine("Not done for every user: " + counts + "; the first failure",
                        services.application, failure));
    } else if (!foundAny) {
        outcome.exitCode = Win32Code::FileNotFound;
        outcome.lines.push_back(
            FailureLine("Nothing to do for any user: " + counts + "; no user has the database",
                        services.application, Win32Code::FileNotFound));
    } else {
        outcome.lines.push_back("Done for every user: " + counts + ".");
    }
    return outcome;
}

Outcome MoveEveryUsersCopies(const PlatformServices &services, const EveryUsersCopies &everyone,
                             Direction direction) {
    Plan plan = PlanEveryUsersCopies(services, everyone, direction);
    CarryOut(services.files, plan, RenameMode::Rename);
    return EveryUsersOutcome(services, everyone, plan);
}
