#pragma once

// The job for every user of the machine, from one run with administrator
// rights (as System, typically, where HKEY_CURRENT_USER is nobody's). Each
// user's setting is read from their own hive, and their copies are the path
// and their own VirtualStore copy. Paths that come from a user (their
// setting, their VirtualStore) are acted on only as far as that user could
// be expected to act on them.

#include "core/CopyJob.h"
#include "core/CopyPlan.h"
#include "core/DatabaseCopies.h"
#include "core/Outcome.h"
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
    // The first failure met while reading the users' settings, or 0. Its
    // line, like every line of the search, went to the report.
    int failure = 0;
    // The people's profiles whose folder could not be read (gone, on a disk
    // that is not there, refused), each with a line of its own: no failure.
    int unreachableProfiles = 0;
    // For UnloadHivesLeftLoaded; each also unloads, quietly, when it goes.
    std::vector<LoadedHive> hivesLeftLoaded;
};

// Reads each user's database path (or takes path, when given) through the
// settings store, as the window reads it, from their hive, loading and
// unloading it when the user is not signed in. A path shared by several
// users is listed once, for the first. A profile without a hive file, or
// whose hive cannot be loaded or read (a failure), still has the path's
// VirtualStore copy, with its Local AppData in the profile. A profile whose
// folder cannot be read gets a line and is counted, nothing more. Hives an
// earlier run left loaded under Torvane's names are looked for once, first,
// and handled as leftHives says: a run that changes nothing passes
// LeftHives::Leave. Touches no file.
EveryUsersCopies FindEveryUsersCopies(const PlatformServices &services, IUserProfiles &profiles,
                                      const std::optional<std::string> &path, RunReport &report,
                                      LeftHives leftHives = LeftHives::Unload);

// At the end of a run, after everything else: unloads every hive the search
// could not, with patience; a line for each that stays loaded, and the
// first one's unload error as the exit code (else 0).
Outcome UnloadHivesLeftLoaded(EveryUsersCopies &everyone);

// The plan for every user's copies: each distinct file (the shared one
// under the first user whose setting or default leads to it, each user's
// VirtualStore copy or own database) a unit of its own, so that a unit that
// fails or is left alone never stops another; after the checks that keep a
// user's word from steering administrator rights. Decided.
Plan PlanEveryUsersCopies(const PlatformServices &services, const EveryUsersCopies &everyone,
                          Direction direction);

// What a run for every user comes to, from its plan carried out (or
// tested): one line per file, with the user and full paths, then a summary
// counting the files. Exit code: 0 when every file found is in the desired
// state, 2 when no file is at either name, else the first failure (after
// everything else was done).
Outcome EveryUsersOutcome(const PlatformServices &services, const EveryUsersCopies &everyone,
                          const Plan &plan);

// Plans, carries out and answers for every user's copies in direction.
Outcome MoveEveryUsersCopies(const PlatformServices &services, const EveryUsersCopies &everyone,
                             Direction direction);
