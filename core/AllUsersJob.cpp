#include "core/AllUsersJob.h"

#include "base/PathWords.h"
#include "base/Win32Codes.h"
#include "core/DatabaseRules.h"
#include "platform/PeoplesSids.h"

#include <algorithm>
#include <string_view>

namespace {

// "ann (S-1-5-21-...)": the profile folder's name, then the SID.
std::string UserLabel(const UserProfile &user) {
    return PathWords::NameOf(user.folder) + " (" + user.sid + ")";
}

// The default path's own folder, under each of the machine's Program Files.
std::vector<std::string> ProductFolders(ISystemFolders &folders) {
    const std::string name(
        PathWords::NameOf(PathWords::FolderOf(DatabaseRules::DefaultDatabasePath)));
    std::vector<std::string> product;
    for (const std::string &programFiles : folders.ProgramFilesFolders()) {
        product.push_back(programFiles + "\\" + name);
    }
    return product;
}

class EveryUserSearch {
public:
    EveryUserSearch(const PlatformServices &services, IUserProfiles &profiles,
                    const std::optional<std::string> &path, RunReport &report, LeftHives leftHives,
                    const StopRequested &stop)
        : services_(services), profiles_(profiles), path_(path), report_(report),
          leftHives_(leftHives), stop_(stop), hives_(profiles, services.application, leftHives) {}

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
            if (stop_ && stop_()) {
                break;
            }
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
            if (!result_.failure) {
                result_.failure =
                    RunFailure{left.unloadError, "HKEY_USERS\\" + left.name + " stays loaded"};
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
            localAppData = OwnLocalAppData(label, user, hive->LocalAppData());
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

    // The user's Local AppData from their hive counts only where it leads
    // into their own profile: a user's setting never makes another user's
    // VirtualStore theirs.
    std::string OwnLocalAppData(const std::string &label, const UserProfile &user,
                                const std::optional<std::string> &fromHive) {
        std::string inProfile = ProfileLocalAppData(user);
        // The profile's own is looked in whatever its final path: no need
        // to look where it leads.
        if (!fromHive || *fromHive == inProfile) {
            return inProfile;
        }
        IFileSystem &files = services_.files;
        const auto finalOf = [&](const std::string &path) {
            std::optional<std::string> reached = files.FinalPath(path);
            return reached ? std::move(*reached) : files.FullPath(path);
        };
        if (IsInsideFolder(files, finalOf(*fromHive), finalOf(user.folder))) {
            return *fromHive;
        }
        report_.Line(label + ": the user's Local AppData, " + *fromHive + ", lies outside " +
                     user.folder + ", so it is not followed; looking for copies with Local " +
                     "AppData " + inProfile + ".");
        return inProfile;
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
        // their setting.
        found.copies.back().userControlled = fromUser;
        result_.users.push_back(std::move(found));
    }

    void Fail(const std::string &what, const std::exception &failure) {
        const AppError error = ToAppError(failure);
        report_.Line(FailureLine(what, error));
        if (!result_.failure) {
            result_.failure = RunFailure{ExitCodeFor(error), what};
        }
    }

    const PlatformServices &services_;
    IUserProfiles &profiles_;
    const std::optional<std::string> &path_;
    RunReport &report_;
    LeftHives leftHives_;
    const StopRequested &stop_;
    UserHives hives_;
    // Hives an earlier run left that this run could not unload at its
    // start, and no user has been read from yet.
    std::vector<LeftHive> stillLeft_;
    EveryUsersCopies result_;
};

} // namespace

EveryUsersCopies FindEveryUsersCopies(const PlatformServices &services, IUserProfiles &profiles,
                                      const std::optional<std::string> &path, RunReport &report,
                                      LeftHives leftHives, const StopRequested &stop) {
    return EveryUserSearch(services, profiles, path, report, leftHives, stop).Run();
}

HivesAtTheEnd UnloadHivesLeftLoaded(EveryUsersCopies &everyone) {
    HivesAtTheEnd outcome;
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
            if (!outcome.failure) {
                outcome.failure =
                    RunFailure{ExitCodeFor(error), "HKEY_USERS\\" + left.hive->Name() +
                                                       " stays loaded for " + left.user};
            }
        }
    }
    everyone.hivesLeftLoaded.clear();
    return outcome;
}
