#pragma once

// The Windows side of the runs that open no window: the arguments as the
// runtime split them, and the output and dialogs such a run uses.

#include "core/CommandLine.h"
#include "platform/PlatformServices.h"

#include <string>
#include <vector>

// The program's arguments, its own name left out.
std::vector<std::string> ProgramArguments();

// Runs commandLine, which is not the window's, with the console or
// redirected output, and gives the exit code. In quiet mode no message box
// is shown: the settings store reports to the output instead.
int RunWithoutWindow(const PlatformServices &services, const CommandLine &commandLine,
                     const std::string &applicationTitle);
