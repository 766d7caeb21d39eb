#pragma once

// Moving the running user's copies of the database from the command line:
// every copy that holds a file is set aside (or, for the undo, given its
// name back) in order, never over a file, and the run answers from the
// state it finds at the end, so a run that races another one on the same
// files tells the truth.

#include "core/CopyPlan.h"
#include "core/DatabaseCopies.h"
#include "core/Outcome.h"
#include "platform/PlatformServices.h"

#include <string>
#include <vector>

struct CopyOutcome : Outcome {
    // Some copy, or its renamed name, holds a file.
    bool foundAny = false;
    // Copies moved by this run, and found already in the desired state.
    int moved = 0;
    int alreadyDone = 0;
};

// The plan for copies moved together as one unit, decided.
Plan PlanCopies(const PlatformServices &services, const std::vector<DatabaseCopy> &copies,
                Direction direction);

// What a unit carried out (or tested) comes to. The exit code is 0 when
// every copy is in the desired state (already, or now), 2 when no copy
// holds a file at either name, 183 when a copy has a file at both (nothing
// is renamed then), 123 for a path with wildcards, else the failure of the
// first rename that failed (the renames before it stand). One line per
// copy that holds a file, with full paths when the copies' paths are full.
// Copies the run may not act on are left to the caller to report.
CopyOutcome UnitOutcome(IApplication &application, const PlanUnit &unit, Direction direction);

// What sits at either name of a copy that the existence test does not
// count, as "; <path> is a hidden file: not renamed", or "".
std::string NotesOn(const PlannedCopy &planned, Direction direction);

// Decides, carries out and answers for copies as one unit.
CopyOutcome MoveCopies(const PlatformServices &services, const std::vector<DatabaseCopy> &copies,
                       Direction direction);
