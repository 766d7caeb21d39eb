#include "platform/LogPlace.h"

#include "base/AppError.h"
#include "base/PathWords.h"
#include "base/Win32Codes.h"
#include "platform/PeoplesSids.h"

#include <string>
#include <vector>

const char ProtectedLogFolderSddl[] =
    "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

bool IsTrustedOwner(const std::string &sid) {
    return sid == SystemSid ||      // SYSTEM
           sid == "S-1-5-32-544" || // Administrators
           sid == "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
}

namespace {

AppError Refused(const std::string &why) {
    return AppError(ErrorCategory::Refusal, Win32Code::AccessDenied, why, "OpenLog");
}

class Guard {
public:
    explicit Guard(ILogPlaces &places) : places_(places), runUser_(places.RunUserSid()) {}

    // Refuses what is at path (subject names it in the line) unless a
    // privileged run may use it.
    void Check(const std::string &subject, const std::string &path, const LogPlaceEntry &entry) {
        if (entry.link) {
            throw Refused(subject + " is a link");
        }
        if (!IsTrustedOwner(entry.ownerSid) && entry.ownerSid != runUser_) {
            throw Refused(subject + " is owned by " + entry.ownerName +
                          ", not by SYSTEM, Administrators, TrustedInstaller or this run's own "
                          "account");
        }
        if (!places_.SamePath(entry.finalPath, path)) {
            throw Refused(subject + " leads through a link to " + entry.finalPath);
        }
    }

    void CheckFolder(const std::string &folder) {
        const std::optional<LogPlaceEntry> entry = places_.LookAt(folder);
        if (!entry) {
            throw Refused("the folder " + folder + " went away as it was made");
        }
        Check("the folder " + folder, folder, *entry);
    }

private:
    ILogPlaces &places_;
    std::string runUser_;
};

// Makes folder and its missing folders with ProtectedLogFolderSddl, or uses
// it as it is, through guard.
void MakeFolders(ILogPlaces &places, Guard &guard, const std::string &folder) {
    // The folders to make, the given one first, up to the nearest one that
    // exists, which is checked before anything is made in it.
    std::vector<std::string> missing;
    std::string nearest = folder;
    std::optional<LogPlaceEntry> found;
    while (!nearest.empty() && !(found = places.LookAt(nearest))) {
        missing.push_back(nearest);
        nearest = PathWords::ParentOf(nearest);
    }
    if (found) {
        guard.Check("the folder " + nearest, nearest, *found);
    }
    for (auto each = missing.rbegin(); each != missing.rend(); ++each) {
        try {
            places.MakeFolder(*each, ProtectedLogFolderSddl);
        } catch (const AppError &error) {
            // Another run made it meanwhile; so might a user who can.
            if (!error.IsWin32(Win32Code::AlreadyExists)) {
                throw;
            }
            guard.CheckFolder(*each);
        }
    }
    if (!missing.empty()) {
        guard.CheckFolder(folder);
    }
}

void OpenPrivileged(ILogPlaces &places, const std::string &log) {
    Guard guard(places);
    MakeFolders(places, guard, PathWords::ParentOf(log));
    const OpenedLog opened = places.OpenLogFile(log, true);
    try {
        if (opened.existed) {
            guard.Check("it", log, opened.entry);
            // A hard link a user made to a file they cannot write has
            // that file's owner and a final path of its own.
            if (opened.entry.names != 1) {
                throw Refused("it has " + std::to_string(opened.entry.names) +
                              " names: another is a hard link to it");
            }
        } else if (!places.SamePath(opened.entry.finalPath, log)) {
            throw Refused("it leads through a link to " + opened.entry.finalPath);
        }
    } catch (const AppError &) {
        // Only what this run made goes: a log that was there stays.
        if (opened.existed) {
            places.CloseLogFile();
        } else {
            places.RemoveLogFile();
        }
        throw;
    }
}

void OpenUnprivileged(ILogPlaces &places, const std::string &log) {
    std::vector<std::string> missing;
    for (std::string folder = PathWords::ParentOf(log); !folder.empty() && !places.Exists(folder);
         folder = PathWords::ParentOf(folder)) {
        missing.push_back(folder);
    }
    for (auto each = missing.rbegin(); each != missing.rend(); ++each) {
        try {
            places.MakeFolder(*each, {});
        } catch (const AppError &) {
            // A folder that cannot be made shows in the open's failure.
            break;
        }
    }
    places.OpenLogFile(log, false);
}

} // namespace

void MakeGuardedFolder(ILogPlaces &places, const std::string &folder) {
    Guard guard(places);
    MakeFolders(places, guard, folder);
}

void OpenGuardedLog(ILogPlaces &places, const std::string &path, bool privileged) {
    const std::string log = places.FullPath(path);
    if (privileged) {
        OpenPrivileged(places, log);
    } else {
        OpenUnprivileged(places, log);
    }
}
