#pragma once

// The one decision behind every way of running: what each copy's two names
// hold, and so what a run does with the copy, or why not. The window, the
// quiet run, the undo, the run for every user and the check all decide
// here and carry the plan out through CarryOut; the check carries it out
// with the rename's test, so it meets what the run would meet and changes
// nothing.

#include "base/AppError.h"
#include "core/DatabaseCopies.h"
#include "platform/PlatformServices.h"

#include <optional>
#include <string>
#include <vector>

// What one copy's two names hold: the name it moves from, and the one it
// moves to.
struct CopyState {
    PathKind from = PathKind::Nothing;
    PathKind to = PathKind::Nothing;

    bool HasFrom() const { return from == PathKind::NormalFile; }
    bool HasTo() const { return to == PathKind::NormalFile; }
    // Anything at the name, hidden or not, would make the move fail.
    bool ToTaken() const { return to != PathKind::Nothing; }
};

// What the plan says of a copy.
enum class Step {
    Rename,      // a file at the name it moves from, nothing at the other
    AlreadyDone, // a file at the name it moves to, none at the other
    NoFile,      // no file at either name
    BothExist,   // files at both: nothing in its unit is renamed
    LeftAlone,   // the run may not act on it, for the reason given
};

// How carrying out went for a copy the plan renames.
enum class Result {
    Pending,       // not carried out (yet)
    Renamed,       // renamed; in a test, the rename's test passed
    DoneMeanwhile, // the rename failed and a second look found it moved
    Failed,
    NotReached, // its unit stopped before it
};

struct PlannedCopy {
    DatabaseCopy copy;
    // Why the run may not act on the copy, when it may not.
    std::optional<std::string> leftAlone;
    CopyState state;
    Step step = Step::NoFile;
    Result result = Result::Pending;
    // For Failed and BothExist.
    std::optional<AppError> failure;
};

// Copies decided and carried out together: nothing is renamed when one has
// files at both names, and the first failure stops the rest. The running
// user's copies are one unit (the VirtualStore copy first, so the offer to
// try again elevated can finish the job); in a run for every user each
// distinct file is a unit of its own, so no user's failure blocks another.
struct PlanUnit {
    std::string user; // as lines name them; empty for the running user
    std::vector<PlannedCopy> copies;
    // A failure found before any look at the files (a wildcard) or while
    // looking (a name that cannot be searched): the line's text, and the
    // error. Nothing in the unit is renamed then.
    std::optional<std::string> stop;
    std::optional<AppError> stopError;

    bool Stopped() const;
    // The copy whose failure or files at both names stop the unit, if any.
    const PlannedCopy *StoppedAt() const;
};

struct Plan {
    Direction direction = Direction::SetAside;
    std::vector<PlanUnit> units;
};

// A unit of copies, every one of them to be decided.
PlanUnit UnitOf(std::string user, const std::vector<DatabaseCopy> &copies);

// Looks at the names of every copy the run may act on and decides each
// step. Another run may be moving these very names: a unit with files at
// both names, and a plan with no file at all, are looked at again before
// that stands.
void Decide(const PlatformServices &services, Plan &plan);

// Carries out every Rename step in its unit's order, through the checked
// rename for a copy its user controls; a unit stops at its first failure,
// unless a second look finds the copy moved by another run meanwhile. With
// RenameMode::TestOnly every rename is only tested, and nothing changes.
void CarryOut(IFileSystem &files, Plan &plan, RenameMode mode);

// True when the unit has a copy the run may act on with a file at either
// name.
bool HoldsAFile(const PlanUnit &unit);

// True when no copy has a file at its name to move from and at least one
// has a file at the name it moves to: every copy found is in the desired
// state.
bool EveryCopyDone(const Plan &plan);
