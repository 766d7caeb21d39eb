#include "core/CopyJob.h"

#include "base/Win32Codes.h"

#include <string>

namespace {

// What sits at a name that the existence test does not count, so a person
// reading the line is not misled.
std::string Note(const std::string &path, PathKind kind, const char *consequence) {
    switch (kind) {
    case PathKind::HiddenFile:
        return "; " + path + " is a hidden file: " + consequence;
    case PathKind::SystemFile:
        return "; " + path + " is a system file: " + consequence;
    case PathKind::Folder:
        return "; " + path + " is a folder: " + consequence;
    case PathKind::Nothing:
    case PathKind::NormalFile:
        break;
    }
    return {};
}

class UnitLines {
public:
    UnitLines(IApplication &application, const PlanUnit &unit, Direction direction)
        : application_(application), unit_(unit), direction_(direction) {}

    CopyOutcome Run() {
        if (unit_.stop) {
            outcome_.exitCode = ExitCodeFor(*unit_.stopError);
            outcome_.lines.push_back(FailureLine(*unit_.stop, *unit_.stopError));
            return outcome_;
        }
        outcome_.foundAny = HoldsAFile(unit_);
        const PlannedCopy *stop = unit_.StoppedAt();
        if (!outcome_.foundAny) {
            Neither();
        } else if (stop != nullptr && stop->step == Step::BothExist) {
            Fail("Nothing changed: both " + stop->copy.path + " and " +
                     RenamedPath(stop->copy.path) + " exist" + NotesOn(*stop, direction_),
                 *stop->failure);
        } else {
            Each();
        }
        return outcome_;
    }

private:
    void Neither() {
        std::vector<std::string> names;
        std::string notes;
        for (const PlannedCopy &planned : unit_.copies) {
            if (planned.step == Step::NoFile) {
                names.push_back(planned.copy.path);
                names.push_back(RenamedPath(planned.copy.path));
                notes += NotesOn(planned, direction_);
            }
        }
        if (names.empty()) {
            return; // every copy left alone: the caller says why
        }
        Fail("Nothing to do: neither " + ListOf(names, "nor") + " exists" + notes,
             SystemError(application_, Win32Code::FileNotFound));
    }

    void Each() {
        for (const PlannedCopy &planned : unit_.copies) {
            if (planned.step == Step::AlreadyDone || planned.result == Result::DoneMeanwhile) {
                AlreadyDone(planned);
            } else if (planned.result == Result::Renamed) {
                outcome_.lines.push_back(
                    std::string(direction_ == Direction::SetAside ? "Renamed " : "Restored ") +
                    From(planned) + " to " + To(planned) + ".");
                ++outcome_.moved;
            } else if (planned.result == Result::Failed) {
                const bool first = outcome_.moved == 0;
                const std::string what =
                    first ? "Nothing changed: cannot rename " : "Cannot rename ";
                const std::string rest = first ? "" : " (the renames above stand)";
                Fail(what + From(planned) + " to " + To(planned) + rest, *planned.failure);
                return;
            }
        }
    }

    void AlreadyDone(const PlannedCopy &planned) {
        ++outcome_.alreadyDone;
        outcome_.lines.push_back(
            "Nothing to do: " + To(planned) + " exists and " + From(planned) + " does not (" +
            (direction_ == Direction::SetAside ? "already renamed" : "already restored") +
            NotesOn(planned, direction_) + ").");
    }

    void Fail(const std::string &what, const AppError &error) {
        outcome_.exitCode = ExitCodeFor(error);
        outcome_.lines.push_back(FailureLine(what, error));
    }

    std::string From(const PlannedCopy &planned) const {
        return FromName(planned.copy, direction_);
    }
    std::string To(const PlannedCopy &planned) const { return ToName(planned.copy, direction_); }

    IApplication &application_;
    const PlanUnit &unit_;
    Direction direction_;
    CopyOutcome outcome_;
};

} // namespace

std::string NotesOn(const PlannedCopy &planned, Direction direction) {
    return Note(FromName(planned.copy, direction), planned.state.from, "not renamed") +
           Note(ToName(planned.copy, direction), planned.state.to, "not replaced");
}

Plan PlanCopies(const PlatformServices &services, const std::vector<DatabaseCopy> &copies,
                Direction direction) {
    Plan plan;
    plan.direction = direction;
    plan.units.push_back(UnitOf({}, copies));
    Decide(services, plan);
    return plan;
}

CopyOutcome UnitOutcome(IApplication &application, const PlanUnit &unit, Direction direction) {
    return UnitLines(application, unit, direction).Run();
}

CopyOutcome MoveCopies(const PlatformServices &services, const std::vector<DatabaseCopy> &copies,
                       Direction direction) {
    Plan plan = PlanCopies(services, copies, direction);
    CarryOut(services.files, plan, RenameMode::Rename);
    return UnitOutcome(services.application, plan.units.front(), direction);
}
