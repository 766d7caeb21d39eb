#pragma once

// The runs a command line asks for without the window (the quiet job, the
// undo and usage), over the same rules as the window, each ending in an
// exit code a deployment tool can read.

#include "core/CommandLine.h"
#include "core/CopyPlan.h"
#include "platform/IRunOutput.h"
#include "platform/IUserProfiles.h"
#include "platform/PlatformServices.h"

#include <string>

// Runs every command but the window and gives the exit code. In quiet mode
// no message box is ever shown: what would be one becomes a line of output,
// titled applicationTitle when it names no title of its own. Without
// /quiet, the outcome of /restore, and usage when there is no console, are
// shown through services.dialogs. A run asks stop between its steps and,
// once it says so, renames nothing more and ends with 1223. No failure gets
// past it: one that would gets the window's standard report, and its own
// exit code (ExitCodeFor).
int RunCommand(const PlatformServices &services, IUserProfiles &profiles, IRunOutput &output,
               const CommandLine &commandLine, const std::string &applicationTitle,
               const StopRequested &stop = StopRequested());
