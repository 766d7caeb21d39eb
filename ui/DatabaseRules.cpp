#include "ui/DatabaseRules.h"

#include "app/modMain.h"
#include "platform/AppError.h"

#include <memory>

namespace DatabaseRules {

std::string LookUpDatabase(const PlatformServices &services) {
    gProgramSettings = std::make_unique<CProgramSettings>(services);
    gProgramSettings->RootKey(HKEY_CURRENT_USER_VALUE);
    gProgramSettings->MainBranch("SOFTWARE");
    gProgramSettings->RegBase("Kestrova");
    gProgramSettings->Program("Quorvex");
    gProgramSettings->Section("Defaults");
    return gProgramSettings->ReadEntry(DatabaseEntry, DefaultDatabasePath);
}

bool FileExists(IFileSystem &files, const std::string &path) {
    return !files.FirstMatchingFile(path).empty();
}

std::string RenamedPath(const std::string &path) { return path + RenamedSuffix; }

void SetAside(IFileSystem &files, const std::string &path) {
    files.RenameFile(path, RenamedPath(path));
}

void RestoreName(IFileSystem &files, const std::string &path) {
    files.RenameFile(RenamedPath(path), path);
}

} // namespace DatabaseRules

std::string UnhandledErrorMessage(const std::exception &failure) {
    const AppError error = ToAppError(failure);
    return "Error " + std::to_string(error.Number()) + ":\r\n\r\n" + error.Description();
}
