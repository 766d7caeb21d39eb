#pragma once

// The runs a command line asks for without the window (the quiet job, the
// undo and usage), over the same rules as the window, each ending in an
// exit code a deployment tool can read.

#include "base/AppError.h"
#include "core/CommandLine.h"
#include "platform/IRunOutput.h"
#include "platform/PlatformServices.h"

#include <cstdint>

// The exit code for a failure: its Win32 code, or for one of the program's
// own numbers the Win32 code that says the same, never a Win32 code that
// means something else.
int ExitCodeFor(const AppError &error);

// Runs every command but the window and gives the exit code. services.dialogs
// is where the settings store's reports go: an OutputDialogs in quiet mode.
// Without /quiet, the outcome of /restore, and usage when there is no
// console, are shown through it too.
int RunCommand(const PlatformServices &services, IRunOutput &output,
               const CommandLine &commandLine);
