#pragma once

// What a check says: the plan of a run, its renames tested, one line per
// copy, and an exit code a compliance tool reads. 1 means a run would
// rename at least one copy (remediation needed, as a detection script's 1
// means); 0 the desired state; else what the run would end with.

#include "core/CopyPlan.h"
#include "core/Outcome.h"
#include "platform/PlatformServices.h"

// The lines and exit code of a check of plan, carried out in
// RenameMode::TestOnly. runExitCode is the code the run would end with;
// its 1 (a step that failed with that Win32 code) becomes 31, so that 1
// keeps its one meaning.
Outcome CheckOutcome(IApplication &application, const Plan &plan, int runExitCode);

// The exit code a check gives for a run's code, when nothing would be
// renamed.
int CheckExitCode(int runExitCode);
