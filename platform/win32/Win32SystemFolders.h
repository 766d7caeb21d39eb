#pragma once

#include "platform/PlatformServices.h"

#include <string>

// The machine's folders as Windows defines them, looked up once per process
// when first asked for (see the source for where from, and why not through
// the shell).
class Win32SystemFolders : public ISystemFolders {
public:
    std::vector<std::string> VirtualizedFolders() override;
    std::vector<std::string> ProgramFilesFolders() override;
    std::string LocalAppData() override;
};

// The machine's Windows folder (%SystemRoot%), the same in every session.
// Throws Win32Error.
std::wstring WindowsFolder();
