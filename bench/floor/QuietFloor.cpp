// The least program of the quiet job's kind: a console program that reads
// the database's path from the current user's registry value, as Torvane
// does, and renames the file with ".Advanced" added. Its time is the floor
// Torvane's quiet run is compared with.

#include "QuietJob.h"

int wmain() {
    std::wstring path;
    if (const LSTATUS status = ReadDatabasePath(HKEY_CURRENT_USER, {}, path);
        status != ERROR_SUCCESS) {
        return static_cast<int>(status);
    }
    return static_cast<int>(SetAside(path));
}
