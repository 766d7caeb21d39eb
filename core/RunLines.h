#pragma once

// The words of a run without a window, chosen in one place: a plan carried
// out (or tested, for a check) becomes one line or more per copy, each
// starting with the copy's user when it has one, and the run ends with one
// summary line that carries its answer.

#include "core/CopyPlan.h"
#include "core/RunEnd.h"
#include "platform/PlatformServices.h"

#include <optional>
#include <string>
#include <vector>

enum class LineForm {
    Run,   // what the run did
    Check, // what a run would do
};

std::vector<std::string> PlanLines(const Plan &plan, LineForm form, IApplication &application);

// What stops unit, as an error: its stop's (an illegal name when the stop
// has none), or the failure or the files at both names of the copy it
// stopped at; nothing when it did not stop.
std::optional<AppError> UnitFailure(const PlanUnit &unit, IApplication &application);

// The plan's counts and first failures, as its lines count them.
PlanTally TallyOf(const Plan &plan, IApplication &application);

// What a summary line says of a run.
struct Summary {
    LineForm form = LineForm::Run;
    Direction direction = Direction::SetAside;
    bool everyUser = false;
    std::size_t users = 0;
    std::size_t unreachableProfiles = 0;
    PlanTally tally;
    // The exit code, and the failure it comes from.
    RunFailure exit;
};

// The last line of a run for every user and of every check: the counts
// (in the singular where they are one), the profiles that could not be
// reached, and the failure whose code is the exit code, at most 2,048
// characters, which is what a management console shows of a script.
std::string SummaryLine(const Summary &summary);
