#pragma once

#include "platform/PlatformServices.h"

#include <string>

class Win32FileSystem : public IFileSystem {
public:
    std::string FirstMatchingFile(const std::string &path) override;
    void RenameFile(const std::string &from, const std::string &to) override;
};

// A path the file APIs accept at any length: short paths stay exactly as
// typed; longer ones are made absolute and given the \\?\ prefix.
std::wstring LongPathForm(const std::wstring &path);
