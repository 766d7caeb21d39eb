#pragma once

#include "platform/PlatformServices.h"

#include <string>

class Win32FileSystem : public IFileSystem {
public:
    std::string FirstMatchingFile(const std::string &path) override;
    void RenameFile(const std::string &from, const std::string &to,
                    RenameMode mode = RenameMode::Rename) override;
    std::string FullPath(const std::string &path) override;
    PathKind KindOf(const std::string &path) override;
    bool SameName(const std::string &a, const std::string &b) override;
    bool SameExistingFile(const std::string &a, const std::string &b) override;
    void RenameOrdinaryFile(const std::string &from, const std::string &to,
                            const std::string &allowedFolder,
                            RenameMode mode = RenameMode::Rename) override;

    bool SameEntry(const std::string &a, const std::string &b) override;
    bool IsNetworkDrive(const std::string &root) override;
};
