#include "platform/UsersLock.h"

#include "base/Win32Codes.h"

const char UsersLockFileName[] = "EveryUser.lock";
const char UsersLockFileSddl[] = "O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)";

namespace {

// What a lock file another run holds answers: its open handle shares
// nothing, and once closed the file is being deleted for a moment.
bool HeldByAnotherRun(std::int32_t error) {
    return error == Win32Code::SharingViolation || error == Win32Code::AccessDenied;
}

} // namespace

UsersLockAttempt TakeUsersLock(ILogPlaces &places, ILockFiles &files, IClock &clock,
                               const std::string &folder, std::chrono::milliseconds patience) {
    const std::string full = places.FullPath(folder);
    MakeGuardedFolder(places, full);
    UsersLockAttempt attempt;
    attempt.path = full + "\\" + UsersLockFileName;
    attempt.error = RetryWhileBusy(clock, patience, HeldByAnotherRun, [&] {
        std::int32_t error = 0;
        attempt.lock = files.TryHold(attempt.path, UsersLockFileSddl, error);
        return attempt.lock ? 0 : error;
    });
    if (HeldByAnotherRun(attempt.error)) {
        attempt.error = Win32Code::SharingViolation;
    }
    return attempt;
}
