#pragma once

// The job for every user of the machine, from one run with administrator
// rights (as System, typically, where HKEY_CURRENT_USER is nobody's). Each
// user's setting is read from their own hive, and their copies are the path
// and their own VirtualStore copy. Paths that come from a user (their
// setting, their VirtualStore) are acted on only as far as that user could
// be expected to act on them.

#include "core/CopyPlan.h"
#include "core/DatabaseCopies.h"
#include "core/Outcome.h"
#include "core/RunEnd.h"
#include "core/RunReport.h"
#include "core/UserHives.h"
#include "platform/IUserProfiles.h"
#include "platform/PlatformServices.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// One user's part of the job.
struct UserCopies {
    std::string user;          // as the lines name them: "ann (S-1-5-21-...)"
    std::string profileFolder; // in full form
    std::vector<DatabaseCopy> copies;
};

// A hive the search could not unload yet, held until the end of the run.
struct LoadedHive {
    std::string user; // as the lines name them
    std::shared_ptr<UserHive> hive;
};

struct EveryUsersCopies {
    std::vector<UserCopies> users;
    // The folders Windows virtualizes, as the search found them.
    std::vector<std::string> virtualizedFolders;
    // Of what lies there, the product's own folders: the default path's
    // folder under each Program Files.
    std::vector<std::string> productFolders;
    // The first failure met while reading the users' settings. Its line,
    // like every line of the search, went to the report.
    std::optional<RunFailure> failure;
    // The people's profiles whose folder could not be read (gone, on a disk
    // that is not there, refused), each with a line of its own: no failure.
    std::size_t unreachableProfiles = 0;
    // For UnloadHivesLeftLoaded; each also unloads, quietly, when it goes.
    std::vector<LoadedHive> hivesLeftLoaded;
};

// Reads each user's database path (or takes path, when given) through the
// settings store, as the window reads it, from their hive, loading and
// unloading it when the user is not signed in. A user's Local AppData
// counts only where it leads into their own profile. A profile without a
// hive file, or whose hive cannot be loaded or read (a failure), still has
// the path's VirtualStore copy, with its Local AppData in the profile. A
// profile whose folder cannot be read gets a line and is counted, nothing
// more. Hives an earlier run left loaded under Torvane's names are looked
// for once, first, and handled as leftHives says: a run that changes
// nothing passes LeftHives::Leave. Once stop says so, no further hive is
// loaded or read. Touches no file.
EveryUsersCopies FindEveryUsersCopies(const PlatformServices &services, IUserProfiles &profiles,
                                      const std::optional<std::string> &path, RunReport &report,
                                      LeftHives leftHives = LeftHives::Unload,
                                      const StopRequested &stop = StopRequested());

// What unloading the hives left loaded came to: a line for each that stays,
// and the first one's failure.
struct HivesAtTheEnd {
    std::vector<std::string> lines;
    std::optional<RunFailure> failure;
};

// At the end of a run, after everything else: unloads every hive the search
// could not, with patience.
HivesAtTheEnd UnloadHivesLeftLoaded(EveryUsersCopies &everyone);
