#pragma once

// What a run without a window ends with: an exit code a deployment tool can
// read, and the lines that say what happened.

#include "base/AppError.h"
#include "platform/PlatformServices.h"

#include <string>
#include <vector>

// The exit code for a failure: its Win32 code, or for one of the program's
// own numbers the Win32 code that says the same, never a Win32 code that
// means something else.
int ExitCodeFor(const AppError &error);

// "what. Error N: description", N being the exit code the failure gives.
std::string FailureLine(const std::string &what, const AppError &error);
// The same for a Win32 code the run finds itself, with the system's text.
std::string FailureLine(const std::string &what, IApplication &application, int code);
// A Win32 code the run finds itself, as a failure with the system's text.
AppError SystemError(IApplication &application, int code, std::string source = {});

// "A, B or C" with conjunction "or"; "A nor B" with "nor".
std::string ListOf(const std::vector<std::string> &names, const std::string &conjunction);
