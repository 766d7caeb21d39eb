#pragma once

#include "platform/PlatformServices.h"

#include <memory>
#include <string>

class Win32FileSystem : public IFileSystem {
public:
    std::string FirstMatchingFile(const std::string &path) override;
    std::unique_ptr<IHeldFile> OpenForMove(const std::string &from, const std::string &to,
                                           const std::string &allowedFolder) override;
    std::string FullPath(const std::string &path) override;
    PathKind KindOf(const std::string &path) override;
    bool SameName(const std::string &a, const std::string &b) override;
    bool SameExistingFile(const std::string &a, const std::string &b) override;
    bool SameEntry(const std::string &a, const std::string &b) override;
    std::optional<std::string> FinalPath(const std::string &path) override;
    bool IsNetworkDrive(const std::string &root) override;
};
