#pragma once

#include "platform/PlatformServices.h"

// The machine's folders as Windows defines them, looked up once per process
// when first asked for (see the source for where from, and why not through
// the shell).
class Win32SystemFolders : public ISystemFolders {
public:
    std::vector<std::string> VirtualizedFolders() override;
    std::vector<std::string> ProgramFilesFolders() override;
    std::string LocalAppData() override;
};
