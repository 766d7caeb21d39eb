#include "core/CopyPlan.h"

#include "base/PathWords.h"
#include "base/Win32Codes.h"
#include "core/DatabaseRules.h"

#include <algorithm>
#include <memory>

namespace {

// A name the existence test could not search.
struct SearchFailure {
    std::string path;
    AppError error;
};

// A normal file by the existence test's rule, else what is there.
PathKind Probe(IFileSystem &files, const std::string &path) {
    try {
        if (DatabaseRules::FileExists(files, path)) {
            return PathKind::NormalFile;
        }
        const PathKind kind = files.KindOf(path);
        return kind == PathKind::NormalFile ? PathKind::Nothing : kind;
    } catch (const std::exception &failure) {
        throw SearchFailure{path, ToAppError(failure)};
    }
}

// Looks at both names of every copy the run may act on, and steps from that.
void Look(IFileSystem &files, PlanUnit &unit, Direction direction) {
    for (PlannedCopy &planned : unit.copies) {
        if (planned.step == Step::LeftAlone) {
            continue;
        }
        planned.state = {Probe(files, FromName(planned.copy, direction)),
                         Probe(files, ToName(planned.copy, direction))};
        const CopyState &state = planned.state;
        planned.step = state.HasFrom() && state.ToTaken() ? Step::BothExist
                       : state.HasFrom()                  ? Step::Rename
                       : state.HasTo()                    ? Step::AlreadyDone
                                                          : Step::NoFile;
    }
}

bool HasBoth(const PlanUnit &unit) {
    return std::any_of(unit.copies.begin(), unit.copies.end(),
                       [](const PlannedCopy &p) { return p.step == Step::BothExist; });
}

bool LookOrStop(IFileSystem &files, PlanUnit &unit, Direction direction) {
    try {
        Look(files, unit, direction);
        return true;
    } catch (const SearchFailure &failure) {
        unit.stop = UnitStop{UnitStop::Why::CannotSearch, failure.path, failure.error};
        return false;
    }
}

// For a unit that names no one file: whether each name it moves from
// matches a file, as the existence test matches wildcards, so the window
// can tell a missing file from one it cannot rename.
void MatchesOnly(IFileSystem &files, PlanUnit &unit, Direction direction) {
    for (PlannedCopy &planned : unit.copies) {
        try {
            if (planned.step != Step::LeftAlone &&
                DatabaseRules::FileExists(files, FromName(planned.copy, direction))) {
                planned.state.from = PathKind::NormalFile;
            }
        } catch (const std::exception &) {
            // The wildcard is the unit's failure, whatever else is wrong.
        }
    }
}

// The wildcard check and the first look; false when the unit stops there
// or has nothing to look at.
bool FirstLook(IFileSystem &files, PlanUnit &unit, Direction direction) {
    bool actedOn = false;
    for (PlannedCopy &planned : unit.copies) {
        if (planned.leftAlone) {
            planned.step = Step::LeftAlone;
            continue;
        }
        actedOn = true;
        if (PathWords::HasWildcard(planned.copy.path)) {
            unit.stop = UnitStop{UnitStop::Why::Wildcard, planned.copy.path, std::nullopt};
            MatchesOnly(files, unit, direction);
            return false;
        }
    }
    return actedOn && LookOrStop(files, unit, direction);
}

// After a rename failed: true when another run has moved the copy in the
// meantime, so it is in the desired state after all.
bool MovedMeanwhile(IFileSystem &files, const DatabaseCopy &copy, Direction direction) {
    try {
        return Probe(files, FromName(copy, direction)) != PathKind::NormalFile &&
               Probe(files, ToName(copy, direction)) == PathKind::NormalFile;
    } catch (const SearchFailure &) {
        return false;
    }
}

bool InUse(const AppError &error) { return error.IsWin32(Win32Code::SharingViolation); }

bool Refused(const AppError &error) { return error.Category() == ErrorCategory::Refusal; }

// The claims of one file are adjacent: its first copy and the later claims
// after it. One past the last claim of the member that starts at first.
std::size_t ClaimsEnd(const std::vector<PlannedCopy> &copies, std::size_t first) {
    std::size_t end = first + 1;
    while (end < copies.size() && copies[end].laterClaim) {
        ++end;
    }
    return end;
}

bool RefusedClaim(const PlannedCopy &planned) {
    return planned.step == Step::LeftAlone ||
           (planned.result == Result::Failed && Refused(*planned.failure));
}

// Opens or renames a member through its claims in order: the first claim
// the run may act on, and on a refusal the next. Returns the index of the
// claim that went through or failed otherwise (its result set), or nothing
// when the member has nothing to rename or every claim was refused.
template <typename Act>
std::optional<std::size_t> ByClaims(std::vector<PlannedCopy> &copies, std::size_t member,
                                    Act &&act) {
    for (std::size_t index = member; index < ClaimsEnd(copies, member); ++index) {
        PlannedCopy &planned = copies[index];
        if (planned.step == Step::LeftAlone) {
            continue;
        }
        if (planned.step != Step::Rename) {
            return std::nullopt;
        }
        try {
            act(planned);
            return index;
        } catch (const std::exception &failure) {
            planned.result = Result::Failed;
            planned.failure = ToAppError(failure);
            if (!Refused(*planned.failure)) {
                return index;
            }
        }
    }
    return std::nullopt;
}

// The index of the first copy of each member (the first claim of a file).
std::vector<std::size_t> MembersOf(const PlanUnit &unit) {
    std::vector<std::size_t> members;
    for (std::size_t i = 0; i < unit.copies.size(); ++i) {
        if (!unit.copies[i].laterClaim) {
            members.push_back(i);
        }
    }
    return members;
}

void CarryOutInOrder(IFileSystem &files, PlanUnit &unit, Direction direction, RenameMode mode) {
    for (PlannedCopy &planned : unit.copies) {
        if (planned.step != Step::Rename) {
            continue;
        }
        try {
            DatabaseRules::MoveCopy(files, planned.copy, direction, mode);
            planned.result = Result::Renamed;
        } catch (const std::exception &failure) {
            if (MovedMeanwhile(files, planned.copy, direction)) {
                planned.result = Result::DoneMeanwhile;
                continue;
            }
            planned.result = Result::Failed;
            planned.failure = ToAppError(failure);
            return; // the rest stays as it was
        }
    }
}

// One member of a group, opened and held for its rename.
struct HeldMember {
    std::size_t index;
    std::unique_ptr<IHeldFile> file;
};

class GroupMove {
public:
    GroupMove(IFileSystem &files, PlanUnit &unit, Direction direction, RenameMode mode)
        : files_(files), unit_(unit), direction_(direction), mode_(mode) {}

    void Run() {
        if (Split()) {
            for (const std::size_t member : MembersOf(unit_)) {
                if (auto held = Open(member)) {
                    Rename(*held);
                }
            }
            return;
        }
        std::vector<HeldMember> held;
        std::optional<std::size_t> blocking;
        for (const std::size_t member : MembersOf(unit_)) {
            if (auto opened = Open(member)) {
                held.push_back(std::move(*opened));
            } else if (failed_ && InUse(*unit_.copies[*failed_].failure) && !blocking) {
                blocking = failed_;
            }
        }
        if (blocking) {
            WaitFor(held, 0, FromName(unit_.copies[*blocking].copy, direction_));
            return;
        }
        // The held handles keep the members as they were opened; the file
        // itself goes last, after every copy of it.
        std::vector<std::size_t> moved;
        for (std::size_t i = 0; i < held.size(); ++i) {
            if (!Rename(held[i])) {
                MoveBack(moved);
                // The rest of the group stays as it was, held back by the
                // failure.
                WaitFor(held, i + 1, FromName(unit_.copies[held[i].index].copy, direction_));
                return;
            }
            moved.push_back(held[i].index);
        }
    }

private:
    // The held members from first on wait for the member at path: none of
    // them is renamed.
    void WaitFor(std::vector<HeldMember> &held, std::size_t first, const std::string &path) {
        for (std::size_t i = first; i < held.size(); ++i) {
            PlannedCopy &planned = unit_.copies[held[i].index];
            planned.result = Result::Waits;
            planned.waitsFor = path;
        }
    }

    // Some member is set aside already while another still waits: each is
    // finished on its own, so the group converges.
    bool Split() const {
        bool done = false;
        bool toDo = false;
        for (const PlannedCopy &planned : unit_.copies) {
            done = done || planned.step == Step::AlreadyDone;
            toDo = toDo || planned.step == Step::Rename;
        }
        return done && toDo;
    }

    // The member opened through its first claim the run may act on; on a
    // failure, failed_ names the claim that failed (unless it was refused or
    // another run moved the file meanwhile).
    std::optional<HeldMember> Open(std::size_t member) {
        failed_.reset();
        std::unique_ptr<IHeldFile> file;
        const auto acted = ByClaims(unit_.copies, member, [&](PlannedCopy &planned) {
            file = DatabaseRules::OpenCopy(files_, planned.copy, direction_);
        });
        if (!acted) {
            return std::nullopt;
        }
        PlannedCopy &planned = unit_.copies[*acted];
        if (planned.result != Result::Failed) {
            return HeldMember{*acted, std::move(file)};
        }
        if (MovedMeanwhile(files_, planned.copy, direction_)) {
            planned.result = Result::DoneMeanwhile;
            planned.failure.reset();
        } else {
            failed_ = acted;
        }
        return std::nullopt;
    }

    bool Rename(HeldMember &member) {
        PlannedCopy &planned = unit_.copies[member.index];
        try {
            if (mode_ == RenameMode::Rename) {
                member.file->Rename();
            }
            member.file.reset();
            planned.result = Result::Renamed;
            return true;
        } catch (const std::exception &failure) {
            member.file.reset();
            if (MovedMeanwhile(files_, planned.copy, direction_)) {
                planned.result = Result::DoneMeanwhile;
                return true;
            }
            planned.result = Result::Failed;
            planned.failure = ToAppError(failure);
            return false;
        }
    }

    // A rename failed after the group was opened: what this run moved in it
    // gets its old name back, the last moved first.
    void MoveBack(const std::vector<std::size_t> &moved) {
        const Direction back =
            direction_ == Direction::SetAside ? Direction::Restore : Direction::SetAside;
        for (auto index = moved.rbegin(); index != moved.rend(); ++index) {
            PlannedCopy &planned = unit_.copies[*index];
            try {
                DatabaseRules::MoveCopy(files_, planned.copy, back, RenameMode::Rename);
                planned.result = Result::MovedBack;
            } catch (const std::exception &failure) {
                planned.result = Result::MoveBackFailed;
                planned.failure = ToAppError(failure);
            }
        }
    }

    IFileSystem &files_;
    PlanUnit &unit_;
    Direction direction_;
    RenameMode mode_;
    std::optional<std::size_t> failed_;
};

} // namespace

bool InPlay(const PlanUnit &unit, std::size_t index) {
    for (std::size_t earlier = index; earlier > 0 && unit.copies[earlier].laterClaim; --earlier) {
        if (!RefusedClaim(unit.copies[earlier - 1])) {
            return false;
        }
    }
    return true;
}

bool PlanUnit::Stopped() const { return stop.has_value() || StoppedAt() != nullptr; }

const PlannedCopy *PlanUnit::StoppedAt() const {
    for (const PlannedCopy &planned : copies) {
        if ((order == UnitOrder::InOrder && planned.step == Step::BothExist) ||
            planned.result == Result::Failed) {
            return &planned;
        }
    }
    return nullptr;
}

Plan ThisUsersPlan(const std::vector<DatabaseCopy> &copies, Direction direction) {
    Plan plan;
    plan.direction = direction;
    PlanUnit unit;
    for (const DatabaseCopy &copy : copies) {
        PlannedCopy planned;
        planned.copy = copy;
        unit.copies.push_back(std::move(planned));
    }
    plan.units.push_back(std::move(unit));
    return plan;
}

void Decide(IFileSystem &files, Plan &plan) {
    std::vector<bool> looked;
    bool anyFile = false;
    for (PlanUnit &unit : plan.units) {
        looked.push_back(FirstLook(files, unit, plan.direction));
        anyFile = anyFile || unit.stop || HoldsAFile(unit);
    }
    for (std::size_t i = 0; i < plan.units.size(); ++i) {
        PlanUnit &unit = plan.units[i];
        // Another run may be moving these very names: files at both names,
        // or no file anywhere, stand only once a second look finds them
        // still so.
        if (looked[i] && (HasBoth(unit) || !anyFile)) {
            LookOrStop(files, unit, plan.direction);
        }
    }
}

void CarryOut(IFileSystem &files, Plan &plan, RenameMode mode, const StopRequested &stop) {
    for (PlanUnit &unit : plan.units) {
        if (stop && stop()) {
            return;
        }
        if (unit.Stopped()) {
            continue;
        }
        if (unit.order == UnitOrder::InOrder) {
            CarryOutInOrder(files, unit, plan.direction, mode);
        } else {
            GroupMove(files, unit, plan.direction, mode).Run();
        }
    }
}

bool HoldsAFile(const PlanUnit &unit) {
    return std::any_of(unit.copies.begin(), unit.copies.end(), [](const PlannedCopy &p) {
        return p.step != Step::LeftAlone && p.step != Step::NoFile;
    });
}
