#pragma once

// The one decision behind every way of running: what each copy's two names
// hold, and so what a run does with the copy, or why not. The window, the
// quiet run, the undo, the run for every user and the check all decide
// here and carry the plan out through CarryOut; the check carries it out
// with the rename's test, so it meets what the run would meet and changes
// nothing. The plan holds states and reasons; RunLines puts them in words.

#include "base/AppError.h"
#include "core/DatabaseCopies.h"
#include "core/DatabaseRules.h"
#include "platform/PlatformServices.h"

#include <functional>
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
    BothExist,   // files at both: it needs a person
    LeftAlone,   // the run may not act on it, for the reason given
};

// How carrying out went for a copy the plan renames.
enum class Result {
    Pending,        // not carried out: not yet, or its unit stopped before it
    Renamed,        // renamed; in a test, the rename's test passed
    DoneMeanwhile,  // the rename failed and a second look found it moved
    Failed,         // the open or the rename failed
    Waits,          // its group waits for a member in use: not renamed
    MovedBack,      // renamed, then given its old name back when its group failed
    MoveBackFailed, // renamed, and its old name could not be given back
};

// Why a run may not act on a copy a user's setting names.
struct LeftAloneReason {
    enum class Why {
        NotMdb,              // not an .mdb file
        OtherProgramsFolder, // in folder, a folder Windows virtualizes, but not in allowed
    };
    Why why = Why::NotMdb;
    std::string folder;
    std::vector<std::string> allowed;
};

struct PlannedCopy {
    DatabaseCopy copy;
    // Whose copy it is, as lines name them; empty for the running user.
    std::string user;
    std::optional<LeftAloneReason> leftAlone;
    CopyState state;
    Step step = Step::NoFile;
    Result result = Result::Pending;
    // Failed: the failure; MoveBackFailed: the move back's failure.
    std::optional<AppError> failure;
    // Waits: the member in use that the group waits for.
    std::string waitsFor;
    // True for a later claim of the file the copy before it names: acted on
    // only when every claim before it was refused.
    bool laterClaim = false;
};

// How a unit's copies are carried out.
enum class UnitOrder {
    // In order, the first failure stopping the rest, and nothing renamed
    // when any copy has files at both names: the running user's copies (the
    // VirtualStore copy first, so the offer to try again elevated can
    // finish the job).
    InOrder,
    // A file and every user's VirtualStore copy of it, which move together:
    // see CarryOut.
    Group,
};

// A failure found before any rename: a path with a wildcard, or a name the
// existence test cannot search. Nothing in the unit is renamed then.
struct UnitStop {
    enum class Why { Wildcard, CannotSearch };
    Why why = Why::Wildcard;
    std::string path;
    std::optional<AppError> error; // CannotSearch: the search's failure
};

struct PlanUnit {
    UnitOrder order = UnitOrder::InOrder;
    std::vector<PlannedCopy> copies;
    std::optional<UnitStop> stop;

    bool Stopped() const;
    // The copy whose failure or files at both names stop the unit, if any.
    const PlannedCopy *StoppedAt() const;
};

// A user of a run for every user, as lines name them, with the path their
// copies are of.
struct PlanUser {
    std::string label;
    std::string path;
};

struct Plan {
    Direction direction = Direction::SetAside;
    std::vector<PlanUnit> units;
    std::vector<PlanUser> users; // empty for the running user's plan
};

// The running user's copies as one unit in order, not yet decided.
Plan ThisUsersPlan(const std::vector<DatabaseCopy> &copies, Direction direction);

// Looks at the names of every copy the run may act on and decides each
// step. Another run may be moving these very names: a unit with files at
// both names, and a plan with no file at all, are looked at again before
// that stands.
void Decide(IFileSystem &files, Plan &plan);

// Asked between groups; true once the run is to stop.
using StopRequested = std::function<bool()>;

// Carries out every Rename step. A unit in order stops at its first
// failure, unless a second look finds the copy moved by another run
// meanwhile. A group whose members are all still under their old names is
// opened whole first, each member as its rename opens it, and renamed
// through those handles, the copies first and the file last: a member in
// use holds back the whole group, and a rename that fails after the
// opening moves back what the group had moved. A group already split is
// finished member by member. A member that needs a person holds back
// nobody. With RenameMode::TestOnly every member is only opened, and
// nothing changes. stop is asked before each unit.
void CarryOut(IFileSystem &files, Plan &plan, RenameMode mode,
              const StopRequested &stop = StopRequested());

// True when the unit has a copy the run may act on with a file at either
// name.
bool HoldsAFile(const PlanUnit &unit);

// False for a later claim of a file while an earlier claim of it was not
// refused: that claim speaks for the file, and this one is not reported.
bool InPlay(const PlanUnit &unit, std::size_t index);
