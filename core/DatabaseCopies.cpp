#include "core/DatabaseCopies.h"

#include "base/PathWords.h"

namespace {

std::string VirtualStoreOf(const std::string &localAppData) {
    return localAppData + "\\VirtualStore";
}

} // namespace

std::string RenamedPath(const std::string &path) { return path + std::string(RenamedSuffix); }

std::string FromName(const DatabaseCopy &copy, Direction direction) {
    return direction == Direction::SetAside ? copy.path : RenamedPath(copy.path);
}

std::string ToName(const DatabaseCopy &copy, Direction direction) {
    return direction == Direction::SetAside ? RenamedPath(copy.path) : copy.path;
}

bool IsInsideFolder(IFileSystem &files, const std::string &path, const std::string &folder) {
    return PathWords::IsOrLiesInside(path, folder, [&](const std::string &a, const std::string &b) {
        return files.SameName(a, b);
    });
}

std::optional<std::string> VirtualStorePath(IFileSystem &files, const std::string &fullPath,
                                            const std::vector<std::string> &virtualizedFolders,
                                            const std::string &localAppData) {
    // Windows keeps the folder's path below the VirtualStore, drive left out.
    const bool hasDrive = fullPath.size() > 3 && fullPath[1] == ':' && fullPath[2] == '\\';
    if (!hasDrive) {
        return std::nullopt;
    }
    for (const std::string &folder : virtualizedFolders) {
        if (IsInsideFolder(files, fullPath, folder)) {
            return VirtualStoreOf(localAppData) + fullPath.substr(2);
        }
    }
    return std::nullopt;
}

std::vector<DatabaseCopy> CopiesOf(IFileSystem &files, const std::string &path,
                                   const std::vector<std::string> &virtualizedFolders,
                                   const std::string &localAppData) {
    std::vector<DatabaseCopy> copies;
    if (auto copy =
            VirtualStorePath(files, files.FullPath(path), virtualizedFolders, localAppData)) {
        copies.push_back({std::move(*copy), true, VirtualStoreOf(localAppData)});
    }
    copies.push_back({path, false, {}});
    return copies;
}

std::vector<DatabaseCopy> CopiesOf(const PlatformServices &services, const std::string &path) {
    return CopiesOf(services.files, path, services.folders.VirtualizedFolders(),
                    services.folders.LocalAppData());
}
