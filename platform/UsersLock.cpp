#include "platform/UsersLock.h"

#include "base/Win32Codes.h"

const char UsersLockFileName[] = "EveryUser.lock";
const char UsersLockFileSddl[] = "O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)";

UsersLockAttempt TakeUsersLock(ILogPlaces &places, ILockFiles &files, IClock &clock,
                               const std::string &folder, std::chrono::milliseconds patience) {
    const std::string full = places.FullPath(folder);
    MakeGuardedFolder(places, full);
    UsersLockAttempt attempt;
    attempt.path = full + "\\" + UsersLockFileName;
    // A lock file another run holds answers as anything held does: its open
    // handle shares nothing, and once closed it is being deleted for a moment.
    attempt.error = RetryWhileBusy(clock, patience, HeldByAnother, [&] {
        std::int32_t error = 0;
        attempt.lock = files.TryHold(attempt.path, UsersLockFileSddl, error);
        return attempt.lock ? 0 : error;
    });
    if (HeldByAnother(attempt.error)) {
        attempt.error = Win32Code::SharingViolation;
    }
    return attempt;
}
