#pragma once

#include "platform/PlatformServices.h"

// The machine's folders as the shell's known folders give them, looked up
// once per process when first asked for: loading the shell costs time that
// a run which never asks does not spend.
class Win32SystemFolders : public ISystemFolders {
public:
    std::vector<std::string> VirtualizedFolders() override;
    std::string LocalAppData() override;
};
