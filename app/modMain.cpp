#include "app/modMain.h"

std::unique_ptr<CProgramSettings> gProgramSettings;
