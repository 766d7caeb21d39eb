#include "core/RunLines.h"

#include "base/Win32Codes.h"
#include "core/Outcome.h"

#include <algorithm>

namespace {

// A management console shows this much of a script's last line.
constexpr std::size_t SummaryLimit = 2048;

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

// "<what> for <user>", or what alone for the running user.
std::string ForUser(const std::string &what, const std::string &user) {
    return user.empty() ? what : what + " for " + user;
}

std::string Counted(std::size_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string WhyLeftAlone(const PlannedCopy &planned) {
    const LeftAloneReason &reason = *planned.leftAlone;
    switch (reason.why) {
    case LeftAloneReason::Why::NotMdb:
        return planned.copy.path + " is not an .mdb file";
    case LeftAloneReason::Why::OtherProgramsFolder:
        break;
    }
    return planned.copy.path + " lies in " + reason.folder + " but not in " +
           ListOf(reason.allowed, "or");
}

std::string StopText(const UnitStop &stop) {
    switch (stop.why) {
    case UnitStop::Why::Wildcard:
        return stop.path + " holds a wildcard (* or ?), so it names no one file";
    case UnitStop::Why::CannotSearch:
        break;
    }
    return "cannot search for " + stop.path;
}

AppError StopError(const UnitStop &stop, IApplication &application) {
    return stop.error ? *stop.error : SystemError(application, Win32Code::InvalidName);
}

// The user a unit's stop is reported for: the one whose copy it names.
std::string StopUser(const PlanUnit &unit) {
    for (const PlannedCopy &planned : unit.copies) {
        if (planned.copy.path == unit.stop->path) {
            return planned.user;
        }
    }
    return unit.copies.empty() ? std::string() : unit.copies.front().user;
}

class PlanWords {
public:
    PlanWords(const Plan &plan, LineForm form, IApplication &application)
        : plan_(plan), form_(form), application_(application) {}

    std::vector<std::string> Lines() {
        for (const PlanUnit &unit : plan_.units) {
            if (unit.stop) {
                const std::string text = StopText(*unit.stop);
                Line(StopUser(unit),
                     FailureLine(form_ == LineForm::Check ? "Would fail: " + text
                                                          : "Nothing changed: " + text,
                                 StopError(*unit.stop, application_)));
            } else if (form_ == LineForm::Check) {
                Each(unit, &PlanWords::Check);
            } else if (unit.order == UnitOrder::InOrder && !HoldsAFile(unit)) {
                Neither(unit);
            } else if (const PlannedCopy *both = unit.StoppedAt();
                       unit.order == UnitOrder::InOrder && both != nullptr &&
                       both->step == Step::BothExist) {
                // Files at both names stop a unit in order: nothing in it
                // is renamed.
                Line(both->user, Both(*both));
            } else {
                Each(unit, &PlanWords::Run);
            }
        }
        NoDatabaseLines();
        return std::move(lines_);
    }

private:
    using CopyWords = void (PlanWords::*)(const PlanUnit &, const PlannedCopy &);

    void Each(const PlanUnit &unit, CopyWords words) {
        moved_ = 0;
        for (std::size_t i = 0; i < unit.copies.size(); ++i) {
            if (InPlay(unit, i)) {
                (this->*words)(unit, unit.copies[i]);
            }
        }
    }

    void Run(const PlanUnit &, const PlannedCopy &planned) {
        const std::string from = From(planned);
        const std::string to = To(planned);
        switch (planned.step) {
        case Step::LeftAlone:
            return Line(planned.user, FailureLine("Left alone: " + WhyLeftAlone(planned),
                                                  application_, Win32Code::AccessDenied));
        case Step::BothExist:
            return Line(planned.user, Both(planned));
        case Step::AlreadyDone:
            return AlreadyDone(planned);
        case Step::NoFile:
            return;
        case Step::Rename:
            break;
        }
        switch (planned.result) {
        case Result::Renamed:
            ++moved_;
            return Line(planned.user, std::string(SetAside() ? "Renamed " : "Restored ") + from +
                                          " to " + to + ".");
        case Result::DoneMeanwhile:
            return AlreadyDone(planned);
        case Result::Failed:
            return Line(planned.user,
                        FailureLine(moved_ == 0
                                        ? "Nothing changed: cannot rename " + from + " to " + to
                                        : "Cannot rename " + from + " to " + to +
                                              " (the renames above stand)",
                                    *planned.failure));
        case Result::Waits:
            return Line(planned.user,
                        "Not renamed: " + from + ": waits for " + planned.waitsFor + ".");
        case Result::MovedBack:
            return Line(planned.user, "Renamed " + from + " to " + to +
                                          ", then moved it back: the rest of its group could "
                                          "not be renamed.");
        case Result::MoveBackFailed:
            return Line(planned.user,
                        FailureLine("Renamed " + from + " to " + to +
                                        ", and cannot move it back, though the rest of its "
                                        "group could not be renamed",
                                    *planned.failure));
        case Result::Pending:
            break;
        }
    }

    void Check(const PlanUnit &unit, const PlannedCopy &planned) {
        const std::string from = From(planned);
        const std::string to = To(planned);
        switch (planned.step) {
        case Step::LeftAlone:
            return Line(planned.user, FailureLine("Would leave alone: " + WhyLeftAlone(planned),
                                                  application_, Win32Code::AccessDenied));
        case Step::NoFile:
            return Line(planned.user, "No database here: neither " + from + " nor " + to +
                                          " holds a file" + Notes(planned) + ".");
        case Step::BothExist:
            return Line(planned.user, FailureLine("Would stop: " + planned.copy.path + " and " +
                                                      RenamedPath(planned.copy.path) +
                                                      " both exist" + Notes(planned),
                                                  application_, Win32Code::AlreadyExists));
        case Step::AlreadyDone:
            return Line(planned.user, AlreadySo(planned));
        case Step::Rename:
            break;
        }
        switch (planned.result) {
        case Result::Renamed:
            return Line(planned.user, "Would rename " + from + " to " + to + ".");
        case Result::DoneMeanwhile:
            return Line(planned.user, AlreadySo(planned));
        case Result::Failed:
            return Line(planned.user, FailureLine("Would fail: cannot rename " + from + " to " + to,
                                                  *planned.failure));
        case Result::Waits:
            return Line(planned.user,
                        "Would not rename " + from + ": waits for " + planned.waitsFor + ".");
        case Result::Pending:
        case Result::MovedBack:
        case Result::MoveBackFailed:
            break;
        }
        const PlannedCopy *stop = unit.StoppedAt();
        Line(planned.user, "Would not rename " + from + ": the run stops at " +
                               (stop != nullptr ? From(*stop) : from) + ".");
    }

    void AlreadyDone(const PlannedCopy &planned) {
        Line(planned.user,
             "Nothing to do: " + To(planned) + " exists and " + From(planned) + " does not (" +
                 (SetAside() ? "already renamed" : "already restored") + Notes(planned) + ").");
    }

    std::string AlreadySo(const PlannedCopy &planned) const {
        return (SetAside() ? "Already set aside: " : "Already restored: ") + To(planned) + ".";
    }

    // The running user's unit with no file anywhere: one line for it all.
    void Neither(const PlanUnit &unit) {
        std::vector<std::string> names;
        std::string notes;
        for (const PlannedCopy &planned : unit.copies) {
            if (planned.step == Step::NoFile) {
                names.push_back(planned.copy.path);
                names.push_back(RenamedPath(planned.copy.path));
                notes += Notes(planned);
            }
        }
        if (!names.empty()) {
            Line({},
                 FailureLine("Nothing to do: neither " + ListOf(names, "nor") + " exists" + notes,
                             application_, Win32Code::FileNotFound));
        }
        // Every copy left alone: the lines of the caller say why.
        for (const PlannedCopy &planned : unit.copies) {
            if (planned.step == Step::LeftAlone) {
                Run(unit, planned);
            }
        }
    }

    // A user of a run for every user none of whose copies holds anything
    // gets one line for them all.
    void NoDatabaseLines() {
        if (form_ == LineForm::Check) {
            return;
        }
        for (const PlanUser &user : plan_.users) {
            if (std::find(usersWithLines_.begin(), usersWithLines_.end(), user.label) !=
                usersWithLines_.end()) {
                continue;
            }
            std::string path = user.path;
            for (const PlanUnit &unit : plan_.units) {
                for (std::size_t i = 0; i < unit.copies.size(); ++i) {
                    const PlannedCopy &planned = unit.copies[i];
                    if (planned.user == user.label && planned.step == Step::NoFile &&
                        InPlay(unit, i)) {
                        path = planned.copy.path;
                    }
                }
            }
            Line(user.label,
                 "no database here: " + path + " holds no file, nor does any copy of it.");
        }
    }

    std::string Both(const PlannedCopy &planned) {
        return FailureLine("Nothing changed: both " + planned.copy.path + " and " +
                               RenamedPath(planned.copy.path) + " exist" + Notes(planned),
                           application_, Win32Code::AlreadyExists);
    }

    std::string Notes(const PlannedCopy &planned) const {
        return Note(From(planned), planned.state.from, "not renamed") +
               Note(To(planned), planned.state.to, "not replaced");
    }

    void Line(const std::string &user, const std::string &text) {
        if (user.empty()) {
            lines_.push_back(text);
            return;
        }
        usersWithLines_.push_back(user);
        lines_.push_back(user + ": " + text);
    }

    bool SetAside() const { return plan_.direction == Direction::SetAside; }
    std::string From(const PlannedCopy &planned) const {
        return FromName(planned.copy, plan_.direction);
    }
    std::string To(const PlannedCopy &planned) const {
        return ToName(planned.copy, plan_.direction);
    }

    const Plan &plan_;
    LineForm form_;
    IApplication &application_;
    std::vector<std::string> lines_;
    std::vector<std::string> usersWithLines_;
    int moved_ = 0;
};

// A failure among the copies, as the summary names it.
std::string FailureOf(const PlannedCopy &planned, Direction direction) {
    const std::string from = FromName(planned.copy, direction);
    switch (planned.step) {
    case Step::LeftAlone:
        return ForUser(planned.copy.path + " left alone", planned.user);
    case Step::BothExist:
        return ForUser("both " + planned.copy.path + " and " + RenamedPath(planned.copy.path) +
                           " hold a file",
                       planned.user);
    default:
        break;
    }
    if (planned.result == Result::MoveBackFailed) {
        return ForUser(ToName(planned.copy, direction) + " not moved back to " + from,
                       planned.user);
    }
    return ForUser(from + (planned.failure->IsWin32(Win32Code::SharingViolation)
                               ? " in use"
                               : " cannot be renamed"),
                   planned.user);
}

int CodeOf(const PlannedCopy &planned) {
    switch (planned.step) {
    case Step::LeftAlone:
        return Win32Code::AccessDenied;
    case Step::BothExist:
        return Win32Code::AlreadyExists;
    default:
        break;
    }
    return planned.failure ? ExitCodeFor(*planned.failure) : 0;
}

bool Fails(const PlanUnit &unit, const PlannedCopy &planned) {
    return planned.step == Step::LeftAlone ||
           (planned.step == Step::BothExist &&
            (unit.order == UnitOrder::Group || unit.StoppedAt() == &planned)) ||
           planned.result == Result::Failed;
}

} // namespace

std::vector<std::string> PlanLines(const Plan &plan, LineForm form, IApplication &application) {
    return PlanWords(plan, form, application).Lines();
}

PlanTally TallyOf(const Plan &plan, IApplication &application) {
    PlanTally tally;
    const auto failed = [&](std::optional<RunFailure> &first, RunFailure failure) {
        if (!first) {
            first = std::move(failure);
        }
    };
    for (const PlanUnit &unit : plan.units) {
        if (unit.stop) {
            tally.foundAny = true;
            const AppError error = StopError(*unit.stop, application);
            failed(tally.firstFailure,
                   {ExitCodeFor(error), ForUser(unit.stop->why == UnitStop::Why::Wildcard
                                                    ? unit.stop->path + " holds a wildcard"
                                                    : unit.stop->path + " cannot be searched",
                                                StopUser(unit))});
            continue;
        }
        tally.foundAny = tally.foundAny || HoldsAFile(unit);
        for (std::size_t i = 0; i < unit.copies.size(); ++i) {
            const PlannedCopy &planned = unit.copies[i];
            if (!InPlay(unit, i)) {
                continue;
            }
            if (planned.step == Step::AlreadyDone || planned.result == Result::DoneMeanwhile) {
                ++tally.alreadySo;
            } else if (planned.result == Result::Renamed) {
                ++tally.changed;
            } else if (planned.result == Result::MoveBackFailed) {
                failed(tally.moveBackFailure,
                       {CodeOf(planned), FailureOf(planned, plan.direction)});
            }
            if (Fails(unit, planned)) {
                failed(tally.firstFailure, {CodeOf(planned), FailureOf(planned, plan.direction)});
            }
        }
    }
    return tally;
}

std::optional<AppError> UnitFailure(const PlanUnit &unit, IApplication &application) {
    if (unit.stop) {
        return StopError(*unit.stop, application);
    }
    const PlannedCopy *stop = unit.StoppedAt();
    if (stop == nullptr) {
        return std::nullopt;
    }
    return stop->failure ? *stop->failure : SystemError(application, Win32Code::AlreadyExists);
}

std::string SummaryLine(const Summary &summary) {
    const PlanTally &tally = summary.tally;
    const bool setAside = summary.direction == Direction::SetAside;
    std::string line;
    if (summary.form == LineForm::Check) {
        line = "Would change " + Counted(tally.changed, "copy", "copies") + "; " +
               std::to_string(tally.alreadySo) + " already so";
    } else {
        line = std::string(summary.exit.code == 0 ? "Done for every user: "
                           : summary.exit.code == Win32Code::FileNotFound
                               ? "Nothing to do for any user: "
                               : "Not done for every user: ") +
               Counted(summary.users, "user", "users") + ", " +
               Counted(tally.changed, "copy", "copies") + " " +
               (setAside ? "renamed" : "restored") + " now, " + std::to_string(tally.alreadySo) +
               " found so already";
    }
    if (summary.unreachableProfiles > 0) {
        line +=
            ", " + Counted(summary.unreachableProfiles, "profile", "profiles") + " not reachable";
    }
    const RunFailure &exit = summary.exit;
    if (exit.code == Win32Code::FileNotFound && exit.what.empty()) {
        line += summary.everyUser ? "; no user has the database" : "; no copy holds a file";
    } else if (exit.code == 0 || exit.what.empty()) {
        return line + ".";
    } else {
        line += "; " + exit.what;
    }
    const std::string code = ": error " + std::to_string(exit.code) + ".";
    if (line.size() + code.size() > SummaryLimit) {
        const std::string cut = "...";
        line.resize(SummaryLimit - code.size() - cut.size());
        line += cut;
    }
    return line + code;
}
