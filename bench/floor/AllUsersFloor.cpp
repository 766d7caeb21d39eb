// The plain floor of the all-users quiet job: a console program, run as an
// administrator or as System, that for each person's profile Windows lists
// loads the user's registry hive, reads the database's path there as
// Torvane reads its own user's, unloads the hive and renames the file with
// ".Advanced" added, with one MoveFileExW. It does less than Torvane must
// (see AllUsersFairFloor.cpp for the floor that does what it must).
//
// A profile whose hive cannot be loaded (none there, or in use because the
// user is logged on) or holds no database path is passed over. The exit code
// is 0, or the error of the last rename that failed.

#include "EveryUser.h"
#include "QuietJob.h"
#include "platform/win32/UniqueHandles.h"

namespace {

// The database path in the user's hive, read while the hive is loaded; empty
// if it cannot be loaded or holds none.
std::wstring DatabasePathOf(const std::wstring &profileFolder) {
    unique_hive hive;
    std::wstring path;
    if (hive.load(HKEY_USERS, FloorHiveName, profileFolder + L"\\NTUSER.DAT") != ERROR_SUCCESS ||
        ReadDatabasePath(HKEY_USERS, FloorHiveKey, path) != ERROR_SUCCESS) {
        return {};
    }
    return path;
}

} // namespace

int wmain() {
    return static_cast<int>(ForEveryUser([](const UserEntry &user) -> DWORD {
        const std::wstring path = DatabasePathOf(user.folder);
        return path.empty() ? ERROR_SUCCESS : SetAside(path);
    }));
}
