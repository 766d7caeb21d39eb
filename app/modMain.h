#pragma once

#include "settings/CProgramSettings.h"

#include <memory>

// The program's one settings object, created at load and kept until exit.
extern std::unique_ptr<CProgramSettings> gProgramSettings;
