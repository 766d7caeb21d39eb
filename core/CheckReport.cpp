#include "core/CheckReport.h"

#include "base/Win32Codes.h"
#include "core/CopyJob.h"

#include <string>

namespace {

class CheckLines {
public:
    CheckLines(IApplication &application, const Plan &plan)
        : application_(application), plan_(plan) {}

    Outcome Run(int runExitCode) {
        for (const PlanUnit &unit : plan_.units) {
            Unit(unit);
        }
        outcome_.lines.push_back("Would change " + std::to_string(wouldChange_) + " copies; " +
                                 std::to_string(alreadySo_) + " already so.");
        outcome_.exitCode = wouldChange_ > 0 ? 1 : CheckExitCode(runExitCode);
        return outcome_;
    }

private:
    void Unit(const PlanUnit &unit) {
        const std::string user = unit.user.empty() ? "" : unit.user + ": ";
        if (unit.stop) {
            Line(user, "Would fail: " + FailureLine(*unit.stop, *unit.stopError));
            return;
        }
        for (const PlannedCopy &planned : unit.copies) {
            Line(user, Copy(unit, planned));
        }
    }

    std::string Copy(const PlanUnit &unit, const PlannedCopy &planned) {
        const std::string from = FromName(planned.copy, plan_.direction);
        const std::string to = ToName(planned.copy, plan_.direction);
        switch (planned.step) {
        case Step::LeftAlone:
            return FailureLine("Would leave alone: " + *planned.leftAlone, application_,
                               Win32Code::AccessDenied);
        case Step::NoFile:
            return "No database here: neither " + from + " nor " + to + " holds a file" +
                   NotesOn(planned, plan_.direction) + ".";
        case Step::BothExist:
            return FailureLine("Would stop: " + planned.copy.path + " and " +
                                   RenamedPath(planned.copy.path) + " both exist" +
                                   NotesOn(planned, plan_.direction),
                               *planned.failure);
        case Step::AlreadyDone:
            return AlreadySo(to);
        case Step::Rename:
            break;
        }
        switch (planned.result) {
        case Result::Renamed:
            ++wouldChange_;
            return "Would rename " + from + " to " + to + ".";
        case Result::DoneMeanwhile:
            return AlreadySo(to);
        case Result::Failed:
            // The line the run would write, word for word.
            return "Would fail: " + UnitOutcome(application_, unit, plan_.direction).lines.back();
        case Result::Pending:
        case Result::NotReached:
            break;
        }
        const PlannedCopy *stop = unit.StoppedAt();
        return "Would not rename " + from + ": the run stops at " +
               (stop != nullptr ? FromName(stop->copy, plan_.direction) : from) + ".";
    }

    std::string AlreadySo(const std::string &to) {
        ++alreadySo_;
        return (plan_.direction == Direction::SetAside ? "Already set aside: "
                                                       : "Already restored: ") +
               to + ".";
    }

    void Line(const std::string &user, const std::string &text) {
        outcome_.lines.push_back(user + text);
    }

    IApplication &application_;
    const Plan &plan_;
    Outcome outcome_;
    int wouldChange_ = 0;
    int alreadySo_ = 0;
};

} // namespace

int CheckExitCode(int runExitCode) {
    return runExitCode == 1 ? Win32Code::GenFailure : runExitCode;
}

Outcome CheckOutcome(IApplication &application, const Plan &plan, int runExitCode) {
    return CheckLines(application, plan).Run(runExitCode);
}
