#pragma once

#include "platform/win32/UniqueHandles.h"

#include <string>

// The security descriptor sddl describes, freed with LocalFree by its
// owner. Throws Win32Error.
unique_hlocal SecurityFromSddl(const std::string &sddl);
