#pragma once

// The product's rules, one copy for the window and the command line alike:
// where the database is looked up, the existence test, and the rename that
// never overwrites.

#include "core/DatabaseCopies.h"
#include "platform/PlatformServices.h"
#include "settings/CProgramSettings.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A rename as asked, or its test: the file opened exactly as the rename
// opens it, every check made, and let go with nothing changed, so a check
// meets what the rename would meet (a file in use, say).
enum class RenameMode { Rename, TestOnly };

namespace DatabaseRules {

// Where the product keeps its settings, and its database by default.
constexpr std::string_view DatabaseEntry = "Database";
constexpr std::string_view DefaultDatabasePath = "C:\\Program Files\\Quorvex\\QvxData.mdb";

// Points settings at the product's key below root\mainBranch and reads the
// stored path, or the default. Failures inside the settings store are
// reported by the store, through the dialogs.
std::string ReadDatabasePath(CProgramSettings &settings, RootKeyValue root,
                             const std::string &mainBranch);
// The running user's: creates the program's one settings object in
// gProgramSettings and reads with it under HKEY_CURRENT_USER\SOFTWARE.
std::string LookUpDatabase(const PlatformServices &services);

// The existence test: true when a normal file matches path. Throws AppError
// on a path that cannot be searched.
bool FileExists(IFileSystem &files, const std::string &path);
// The copies that hold a file, by the existence test, in their order.
std::vector<DatabaseCopy> ExistingCopies(IFileSystem &files,
                                         const std::vector<DatabaseCopy> &copies);

// Opens copy for its move in direction, every check made; a copy its user
// controls only as an ordinary file inside its allowed folder. Throws
// AppError.
std::unique_ptr<IHeldFile> OpenCopy(IFileSystem &files, const DatabaseCopy &copy,
                                    Direction direction);
// Renames copy in direction, never over an existing file, through OpenCopy.
// In TestOnly mode the copy is opened and let go, so the test meets what
// the rename would. Throws AppError.
void MoveCopy(IFileSystem &files, const DatabaseCopy &copy, Direction direction, RenameMode mode);
} // namespace DatabaseRules
