#include "core/DatabaseCopies.h"

#include "core/DatabaseRules.h"

namespace {

// The parts of a path between its backslashes.
std::vector<std::string> PartsOf(const std::string &path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = path.find('\\', start)) != std::string::npos; start = end + 1) {
        parts.push_back(path.substr(start, end - start));
    }
    parts.push_back(path.substr(start));
    if (parts.back().empty()) {
        parts.pop_back(); // a folder written with its closing backslash
    }
    return parts;
}

std::string VirtualStoreOf(const std::string &localAppData) {
    return localAppData + "\\VirtualStore";
}

} // namespace

std::string RenamedPath(const std::string &path) {
    return path + std::string(DatabaseRules::RenamedSuffix);
}

std::string FromName(const DatabaseCopy &copy, Direction direction) {
    return direction == Direction::SetAside ? copy.path : RenamedPath(copy.path);
}

std::string ToName(const DatabaseCopy &copy, Direction direction) {
    return direction == Direction::SetAside ? RenamedPath(copy.path) : copy.path;
}

bool IsInsideFolder(IFileSystem &files, const std::string &path, const std::string &folder) {
    const std::vector<std::string> pathParts = PartsOf(path);
    const std::vector<std::string> folderParts = PartsOf(folder);
    if (folderParts.empty() || folderParts.size() > pathParts.size()) {
        return false;
    }
    for (std::size_t i = 0; i < folderParts.size(); ++i) {
        if (!files.SameName(pathParts[i], folderParts[i])) {
            return false;
        }
    }
    return true;
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
