#include "core/DatabaseRules.h"

#include "app/modMain.h"

#include <memory>

namespace DatabaseRules {

std::string ReadDatabasePath(CProgramSettings &settings, RootKeyValue root,
                             const std::string &mainBranch) {
    settings.RootKey(root);
    settings.MainBranch(mainBranch);
    settings.RegBase("Kestrova");
    settings.Program("Quorvex");
    settings.Section("Defaults");
    return settings.ReadEntry(std::string(DatabaseEntry), std::string(DefaultDatabasePath));
}

std::string LookUpDatabase(const PlatformServices &services) {
    gProgramSettings = std::make_unique<CProgramSettings>(services);
    return ReadDatabasePath(*gProgramSettings, HKEY_CURRENT_USER_VALUE, "SOFTWARE");
}

bool FileExists(IFileSystem &files, const std::string &path) {
    return !files.FirstMatchingFile(path).empty();
}

std::vector<DatabaseCopy> ExistingCopies(IFileSystem &files,
                                         const std::vector<DatabaseCopy> &copies) {
    std::vector<DatabaseCopy> existing;
    for (const DatabaseCopy &copy : copies) {
        if (FileExists(files, copy.path)) {
            existing.push_back(copy);
        }
    }
    return existing;
}

std::unique_ptr<IHeldFile> OpenCopy(IFileSystem &files, const DatabaseCopy &copy,
                                    Direction direction) {
    return files.OpenForMove(FromName(copy, direction), ToName(copy, direction),
                             copy.userControlled ? copy.allowedFolder : std::string());
}

void MoveCopy(IFileSystem &files, const DatabaseCopy &copy, Direction direction, RenameMode mode) {
    const std::unique_ptr<IHeldFile> held = OpenCopy(files, copy, direction);
    if (mode == RenameMode::Rename) {
        held->Rename();
    }
}

} // namespace DatabaseRules
