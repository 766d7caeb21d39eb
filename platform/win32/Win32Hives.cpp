#include "platform/win32/Win32Hives.h"

#include "platform/Patience.h"
#include "platform/win32/EnabledPrivileges.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"

#include <algorithm>
#include <set>

namespace {

// What loading and unloading a hive takes, enabled until the result goes.
EnabledPrivileges EnableHivePrivileges() {
    static const LUID backup = PrivilegeValue(SE_BACKUP_NAME);
    static const LUID restore = PrivilegeValue(SE_RESTORE_NAME);
    return EnabledPrivileges({backup, restore});
}

// Windows ends a process about 5 seconds after its console is closed.
constexpr std::chrono::milliseconds ClosingPatience(2500);

// The hives loaded here and not unloaded yet, for a console handler that
// runs on a thread of its own; and whether a StoppedHiveLoads lives, while
// nothing is loaded. Held only around each load or unload, never while waiting.
SRWLOCK hivesLock = SRWLOCK_INIT;
std::set<std::wstring> &LoadedHere() {
    static std::set<std::wstring> names;
    return names;
}
bool closing = false;

class HivesLocked {
public:
    HivesLocked() { AcquireSRWLockExclusive(&hivesLock); }
    HivesLocked(const HivesLocked &) = delete;
    HivesLocked &operator=(const HivesLocked &) = delete;
    ~HivesLocked() { ReleaseSRWLockExclusive(&hivesLock); }
};

} // namespace

void LoadHiveFile(const std::wstring &name, const std::wstring &file) {
    const EnabledPrivileges privileges = EnableHivePrivileges();
    const HivesLocked locked;
    if (closing) {
        throw Win32ErrorOn(ERROR_OPERATION_ABORTED, Narrow(file), "RegLoadKeyW");
    }
    // Room first, so nothing can fail between loading and knowing of it.
    const bool known = LoadedHere().insert(name).second;
    const LSTATUS status = RegLoadKeyW(HKEY_USERS, name.c_str(), file.c_str());
    if (status != ERROR_SUCCESS) {
        if (known) {
            LoadedHere().erase(name);
        }
        // A failed load can leave an empty key of that name behind; where
        // it leaves nothing this fails harmlessly. A name that is loaded
        // already is not this load's to remove.
        if (status != ERROR_ALREADY_EXISTS) {
            RegUnLoadKeyW(HKEY_USERS, name.c_str());
        }
        throw Win32ErrorOn(static_cast<DWORD>(status), Narrow(file), "RegLoadKeyW");
    }
}

LSTATUS UnloadHiveOnce(const std::wstring &name) {
    try {
        const EnabledPrivileges privileges = EnableHivePrivileges();
        const HivesLocked locked;
        const LSTATUS status = RegUnLoadKeyW(HKEY_USERS, name.c_str());
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
            LoadedHere().erase(name);
        }
        return status;
    } catch (const AppError &error) {
        return static_cast<LSTATUS>(error.Number());
    }
}

StoppedHiveLoads::StoppedHiveLoads() {
    Win32Clock clock;
    const std::chrono::milliseconds deadline = clock.Now() + ClosingPatience;
    const HivesLocked locked;
    closing = true;
    try {
        const EnabledPrivileges privileges = EnableHivePrivileges();
        for (const std::wstring &name : LoadedHere()) {
            const std::chrono::milliseconds left =
                std::max(deadline - clock.Now(), std::chrono::milliseconds(0));
            RetryWhileBusy(clock, left, HeldByAnother,
                           [&] { return RegUnLoadKeyW(HKEY_USERS, name.c_str()); });
        }
    } catch (const std::exception &) {
        // Without the privileges nothing was loaded here.
    }
    LoadedHere().clear();
}

StoppedHiveLoads::~StoppedHiveLoads() {
    const HivesLocked locked;
    closing = false;
}
