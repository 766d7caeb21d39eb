#pragma once

// The units of a run for every user: each file with every user's
// VirtualStore copy of it as one group.

#include "core/AllUsersJob.h"
#include "core/CopyPlan.h"
#include "core/DatabaseCopies.h"

#include <vector>

// Every user's copies, not yet decided: a group per file, its users'
// VirtualStore copies first and the file last. A file more users' settings
// lead to is claimed by each of them; the claim from no user's setting, or
// from the user whose profile holds the file, is tried first, and a later
// claim only when every one before it is refused. What a user's setting
// names is left alone when that user could not be expected to act on it.
Plan EveryUsersPlan(IFileSystem &files, const EveryUsersCopies &everyone, Direction direction);
