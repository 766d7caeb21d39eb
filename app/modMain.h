#pragma once

#include "settings/CProgramSettings.h"

#include <memory>

// The program's one settings object, created at load and kept until exit.
extern std::unique_ptr<CProgramSettings> gProgramSettings;

// The lifetime of gProgramSettings for one run: whatever load put there is
// released when this goes, which must be before the services the object uses.
class ProgramSettingsLifetime {
public:
    ProgramSettingsLifetime() = default;
    ProgramSettingsLifetime(const ProgramSettingsLifetime &) = delete;
    ProgramSettingsLifetime &operator=(const ProgramSettingsLifetime &) = delete;
    ~ProgramSettingsLifetime() { gProgramSettings.reset(); }
};
