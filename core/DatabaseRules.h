#pragma once

// The product's rules, one copy for the window and the command line alike:
// where the database is looked up, the existence test, the name it is set
// aside under, and the rename that never overwrites.

#include "platform/PlatformServices.h"

#include <string>
#include <string_view>

namespace DatabaseRules {

// Where the product keeps its settings, and its database by default.
constexpr std::string_view DatabaseEntry = "Database";
constexpr std::string_view DefaultDatabasePath = "C:\\Program Files\\Quorvex\\QvxData.mdb";
constexpr std::string_view RenamedSuffix = ".Advanced";

// Creates the program's one settings object in gProgramSettings, points it
// at the product's key and reads the stored path, or the default. Failures
// inside the settings store are reported by the store, through the dialogs.
std::string LookUpDatabase(const PlatformServices &services);

// The existence test: true when a normal file matches path. Throws AppError
// on a path that cannot be searched.
bool FileExists(IFileSystem &files, const std::string &path);

// The name the database is set aside under: the whole path plus the suffix.
std::string RenamedPath(const std::string &path);

// Renames path to its renamed path, and back; never over an existing file.
// Throw AppError.
void SetAside(IFileSystem &files, const std::string &path);
void RestoreName(IFileSystem &files, const std::string &path);

} // namespace DatabaseRules
