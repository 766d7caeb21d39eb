#include "core/DatabaseRules.h"

#include "app/modMain.h"

#include <memory>

namespace DatabaseRules {

std::string LookUpDatabase(const PlatformServices &services) {
    gProgramSettings = std::make_unique<CProgramSettings>(services);
    gProgramSettings->RootKey(HKEY_CURRENT_USER_VALUE);
    gProgramSettings->MainBranch("SOFTWARE");
    gProgramSettings->RegBase("Kestrova");
    gProgramSettings->Program("Quorvex");
    gProgramSettings->Section("Defaults");
    return gProgramSettings->ReadEntry(std::string(DatabaseEntry),
                                       std::string(DefaultDatabasePath));
}

bool FileExists(IFileSystem &files, const std::string &path) {
    return !files.FirstMatchingFile(path).empty();
}

std::string RenamedPath(const std::string &path) { return path + std::string(RenamedSuffix); }

void SetAside(IFileSystem &files, const std::string &path) {
    files.RenameFile(path, RenamedPath(path));
}

void RestoreName(IFileSystem &files, const std::string &path) {
    files.RenameFile(RenamedPath(path), path);
}

} // namespace DatabaseRules
