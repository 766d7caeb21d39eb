#pragma once

// The whole job as a user does it, for the tests that look at what the
// program does along the way rather than at each step's details.

#include "TorvaneProcess.h"

#include <functional>
#include <string>

// With database shown in the text box: Browse, Cancel in the open-file
// dialog, Rename Database, and OK on the message naming the new file, after
// which the program must end with code 0. beforeOk runs while that message
// is shown. Throws, saying which step went wrong, if any does.
void RunWholeJob(const TorvaneProcess &torvane, const std::wstring &database,
                 const std::function<void()> &beforeOk);
