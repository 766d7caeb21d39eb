#pragma once

// The job for every user of the machine, from one run with administrator
// rights (as System, typically, where HKEY_CURRENT_USER is nobody's). Each
// user's setting is read from their own hive, and their copies are the path
// and their own VirtualStore copy. Paths that come from a user (their
// setting, their VirtualStore) are acted on only as far as that user could
// be expected to act on them.

#include "core/CopyJob.h"
#include "core/DatabaseCopies.h"
#include "core/Outcome.h"
#include "core/RunReport.h"
#include "platform/IUserProfiles.h"
#include "platform/PlatformServices.h"

#include <optional>
#include <string>
#include <vector>

// One user's part of the job.
struct UserCopies {
    std::string user;          // as the lines name them: "ann (S-1-5-21-...)"
    std::string profileFolder; // in full form
    std::vector<DatabaseCopy> copies;
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
};

// Reads each user's database path (or takes path, when given) through the
// settings store, as the window reads it, from their hive, loading and
// unloading it when the user is not signed in. A path shared by several
// users is listed once, for the first. Touches no file.
EveryUsersCopies FindEveryUsersCopies(const PlatformServices &services, IUserProfiles &profiles,
                                      const std::optional<std::string> &path, RunReport &report);

// Moves every user's copies in direction, after the checks that keep a
// user's word from steering administrator rights; one line per copy, with
// the user and full paths, then a summary. Exit code: 0 when every copy
// found is in the desired state, 2 when no user has any copy, else the
// first failure (after doing everything else that can be done).
Outcome MoveEveryUsersCopies(const PlatformServices &services, const EveryUsersCopies &everyone,
                             Direction direction);
