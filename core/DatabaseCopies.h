#pragma once

// The copies of the database a legacy program may be using. Windows gives a
// legacy program (32-bit, no manifest) that writes in a protected folder
// (Program Files, ProgramData, Windows) a private copy of the file in the
// user's VirtualStore, and from then on the program reads and writes that
// copy. So a database in such a folder may have a second copy, one per
// user, and that copy is the one in use.

#include "platform/PlatformServices.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DatabaseCopy {
    std::string path;
    // True for a copy in a folder its user (and anything the user runs) can
    // change: it is only ever renamed as an ordinary file, never through a
    // link, and only while its final path lies inside allowedFolder.
    bool userControlled = false;
    // For a copy its user controls, the folder (in full form) it is allowed
    // in: the user's VirtualStore or profile, or the product's own folder.
    std::string allowedFolder;
};

// The two directions of the one job: set aside, and the undo.
enum class Direction { SetAside, Restore };

// What the name the database is set aside under adds to its path.
constexpr std::string_view RenamedSuffix = ".Advanced";
// The name the database is set aside under: the whole path plus ".Advanced".
std::string RenamedPath(const std::string &path);
// The name a copy has before and after a move in direction.
std::string FromName(const DatabaseCopy &copy, Direction direction);
std::string ToName(const DatabaseCopy &copy, Direction direction);

// True when path is folder or lies inside it, both in full form, compared
// part by part as the file system compares names.
bool IsInsideFolder(IFileSystem &files, const std::string &path, const std::string &folder);

// The VirtualStore copy of fullPath for the user whose Local AppData is
// localAppData: localAppData\VirtualStore\ and fullPath without its drive,
// when fullPath lies inside one of the virtualized folders; else nothing.
std::optional<std::string> VirtualStorePath(IFileSystem &files, const std::string &fullPath,
                                            const std::vector<std::string> &virtualizedFolders,
                                            const std::string &localAppData);

// The copies of the database at path for the user whose Local AppData is
// localAppData: the VirtualStore copy first (the one the legacy program
// opens, and holds open while it runs), allowed in that VirtualStore, then
// path itself, as given.
std::vector<DatabaseCopy> CopiesOf(IFileSystem &files, const std::string &path,
                                   const std::vector<std::string> &virtualizedFolders,
                                   const std::string &localAppData);
// The same for the running user. Throws AppError when the system cannot
// say where its folders are.
std::vector<DatabaseCopy> CopiesOf(const PlatformServices &services, const std::string &path);
