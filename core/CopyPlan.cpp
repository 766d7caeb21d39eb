#include "core/CopyPlan.h"

#include "base/Win32Codes.h"
#include "core/DatabaseRules.h"
#include "core/Outcome.h"

#include <algorithm>

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

bool HasWildcard(const std::string &path) {
    const std::size_t name = path.rfind('\\');
    return path.find_first_of("*?", name == std::string::npos ? 0 : name + 1) != std::string::npos;
}

// Looks at both names of every copy the run may act on, and steps from that.
void Look(IFileSystem &files, PlanUnit &unit, Direction direction) {
    for (PlannedCopy &planned : unit.copies) {
        if (planned.leftAlone) {
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
        unit.stop = "Nothing changed: cannot search for " + failure.path;
        unit.stopError = failure.error;
        return false;
    }
}

// The wildcard check and the first look; false when the unit stops there
// or has nothing to look at.
bool FirstLook(const PlatformServices &services, PlanUnit &unit, Direction direction) {
    bool actedOn = false;
    for (PlannedCopy &planned : unit.copies) {
        if (planned.leftAlone) {
            planned.step = Step::LeftAlone;
            continue;
        }
        actedOn = true;
        if (HasWildcard(planned.copy.path)) {
            unit.stop = "Nothing changed: " + planned.copy.path +
                        " holds a wildcard (* or ?), so it names no one file";
            unit.stopError = SystemError(services.application, Win32Code::InvalidName, "Decide");
            return false;
        }
    }
    return actedOn && LookOrStop(services.files, unit, direction);
}

// Files at both names stop the unit: nothing in it is renamed.
void Settle(IApplication &application, PlanUnit &unit) {
    const bool both = HasBoth(unit);
    for (PlannedCopy &planned : unit.copies) {
        if (planned.step == Step::BothExist) {
            planned.failure = SystemError(application, Win32Code::AlreadyExists, "Decide");
        } else if (both && planned.step == Step::Rename) {
            planned.result = Result::NotReached;
        }
    }
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

} // namespace

bool PlanUnit::Stopped() const { return stop.has_value() || StoppedAt() != nullptr; }

const PlannedCopy *PlanUnit::StoppedAt() const {
    for (const PlannedCopy &planned : copies) {
        if (planned.step == Step::BothExist || planned.result == Result::Failed) {
            return &planned;
        }
    }
    return nullptr;
}

PlanUnit UnitOf(std::string user, const std::vector<DatabaseCopy> &copies) {
    PlanUnit unit;
    unit.user = std::move(user);
    for (const DatabaseCopy &copy : copies) {
        unit.copies.push_back({copy, std::nullopt, {}, Step::NoFile, Result::Pending, {}});
    }
    return unit;
}

void Decide(const PlatformServices &services, Plan &plan) {
    std::vector<bool> looked;
    bool anyFile = false;
    for (PlanUnit &unit : plan.units) {
        looked.push_back(FirstLook(services, unit, plan.direction));
        anyFile = anyFile || unit.stop || HoldsAFile(unit);
    }
    for (std::size_t i = 0; i < plan.units.size(); ++i) {
        PlanUnit &unit = plan.units[i];
        // Another run may be moving these very names: files at both names,
        // or no file anywhere, stand only once a second look finds them
        // still so.
        if (looked[i] && (HasBoth(unit) || !anyFile)) {
            LookOrStop(services.files, unit, plan.direction);
        }
        Settle(services.application, unit);
    }
}

void CarryOut(IFileSystem &files, Plan &plan, RenameMode mode) {
    for (PlanUnit &unit : plan.units) {
        if (unit.Stopped()) {
            continue;
        }
        bool stopped = false;
        for (PlannedCopy &planned : unit.copies) {
            if (planned.step != Step::Rename) {
                continue;
            }
            if (stopped) {
                planned.result = Result::NotReached;
                continue;
            }
            try {
                DatabaseRules::MoveCopy(files, planned.copy, plan.direction, mode);
                planned.result = Result::Renamed;
            } catch (const std::exception &failure) {
                if (MovedMeanwhile(files, planned.copy, plan.direction)) {
                    planned.result = Result::DoneMeanwhile;
                    continue;
                }
                planned.result = Result::Failed;
                planned.failure = ToAppError(failure);
                stopped = true;
            }
        }
    }
}

bool HoldsAFile(const PlanUnit &unit) {
    return std::any_of(unit.copies.begin(), unit.copies.end(), [](const PlannedCopy &p) {
        return p.step != Step::LeftAlone && p.step != Step::NoFile;
    });
}

bool EveryCopyDone(const Plan &plan) {
    bool done = false;
    for (const PlanUnit &unit : plan.units) {
        if (unit.stop) {
            return false;
        }
        for (const PlannedCopy &planned : unit.copies) {
            if (planned.step == Step::Rename || planned.step == Step::BothExist) {
                return false;
            }
            done = done || planned.step == Step::AlreadyDone;
        }
    }
    return done;
}
