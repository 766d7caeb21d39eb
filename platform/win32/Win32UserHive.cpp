#include "platform/win32/Win32UserHive.h"

#include "platform/win32/EnabledPrivilege.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

constexpr wchar_t UserShellFolders[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t UserProfileVariable[] = L"%USERPROFILE%";

// Unloading fails while another process (an antivirus, the search indexer,
// a management agent) has a key of the hive open; the user cannot sign in
// while it stays loaded, so it is worth waiting for.
constexpr std::chrono::milliseconds UnloadPatience(10000);
// Windows ends a process about 5 seconds after its console is closed.
constexpr std::chrono::milliseconds ClosingPatience(2500);

bool StillOpen(std::int32_t status) {
    return status == ERROR_ACCESS_DENIED || status == ERROR_SHARING_VIOLATION;
}

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

LSTATUS UnloadOnce(const std::wstring &name) {
    const HivesLocked locked;
    const LSTATUS status = RegUnLoadKeyW(HKEY_USERS, name.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        LoadedHere().erase(name);
    }
    return status;
}

// Where pattern next occurs in text from start on, without regard to case.
std::size_t FindIgnoringCase(const std::wstring &text, const std::wstring &pattern,
                             std::size_t start) {
    const int length = static_cast<int>(pattern.size());
    for (std::size_t at = start; at + pattern.size() <= text.size(); ++at) {
        if (CompareStringOrdinal(text.data() + at, length, pattern.data(), length, TRUE) ==
            CSTR_EQUAL) {
            return at;
        }
    }
    return std::wstring::npos;
}

} // namespace

Win32UserHive::Win32UserHive(std::string name, std::string profileFolder, IClock &clock)
    : name_(std::move(name)), profileFolder_(std::move(profileFolder)), clock_(clock) {}

std::unique_ptr<Win32UserHive> Win32UserHive::InPlace(const std::string &name,
                                                      const UserProfile &user, bool unloadable,
                                                      IClock &clock) {
    std::unique_ptr<Win32UserHive> hive(new Win32UserHive(name, user.folder, clock));
    if (unloadable) {
        const HivesLocked locked;
        LoadedHere().insert(Widen(name));
        hive->loadedHere_ = true;
    }
    return hive;
}

std::unique_ptr<Win32UserHive> Win32UserHive::Load(const UserProfile &user,
                                                   const std::wstring &name,
                                                   const std::wstring &file, IClock &clock) {
    // The owner first, so nothing can fail between loading and owning.
    std::unique_ptr<Win32UserHive> hive(new Win32UserHive(Narrow(name), user.folder, clock));
    const EnabledPrivilege backup(SE_BACKUP_NAME);
    const EnabledPrivilege restore(SE_RESTORE_NAME);
    const HivesLocked locked;
    if (closing) {
        throw Win32ErrorOn(ERROR_OPERATION_ABORTED, Narrow(file), "RegLoadKeyW");
    }
    const LSTATUS status = RegLoadKeyW(HKEY_USERS, name.c_str(), file.c_str());
    if (status != ERROR_SUCCESS) {
        // A failed load can leave an empty key of that name behind; where
        // it leaves nothing this fails harmlessly. A name that is loaded
        // already is not this load's to remove.
        if (status != ERROR_ALREADY_EXISTS) {
            RegUnLoadKeyW(HKEY_USERS, name.c_str());
        }
        throw Win32ErrorOn(static_cast<DWORD>(status), Narrow(file), "RegLoadKeyW");
    }
    LoadedHere().insert(name);
    hive->loadedHere_ = true;
    return hive;
}

LSTATUS Win32UserHive::UnloadPatiently(const std::wstring &name, IClock &clock) {
    const EnabledPrivilege backup(SE_BACKUP_NAME);
    const EnabledPrivilege restore(SE_RESTORE_NAME);
    const LSTATUS status =
        RetryWhileBusy(clock, UnloadPatience, StillOpen, [&] { return UnloadOnce(name); });
    // Not loaded is what was asked for (the console handler may have
    // unloaded it meanwhile).
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

StoppedHiveLoads::StoppedHiveLoads() {
    Win32Clock clock;
    const std::chrono::milliseconds deadline = clock.Now() + ClosingPatience;
    const HivesLocked locked;
    closing = true;
    try {
        const EnabledPrivilege backup(SE_BACKUP_NAME);
        const EnabledPrivilege restore(SE_RESTORE_NAME);
        for (const std::wstring &name : LoadedHere()) {
            const std::chrono::milliseconds left =
                std::max(deadline - clock.Now(), std::chrono::milliseconds(0));
            RetryWhileBusy(clock, left, StillOpen,
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

Win32UserHive::~Win32UserHive() {
    try {
        Unload();
    } catch (const std::exception &) {
        // Only a caller of Unload hears of a hive that stays loaded.
    }
}

std::optional<std::string> Win32UserHive::LocalAppData() {
    // As stored, unexpanded: the variables are the user's, not this
    // process's.
    const std::optional<StoredText> stored = ReadText(HKEY_USERS, Widen(name_) + UserShellFolders,
                                                      L"Local AppData", "HKEY_USERS\\" + name_);
    if (!stored) {
        return std::nullopt;
    }
    const std::wstring &text = stored->text;
    const std::wstring variable = UserProfileVariable;
    const std::wstring profile = Widen(profileFolder_);
    std::wstring expanded;
    std::wstring literal; // the text around the variable, where others would be
    std::size_t from = 0;
    for (std::size_t at = FindIgnoringCase(text, variable, 0); at != std::wstring::npos;
         at = FindIgnoringCase(text, variable, from)) {
        literal += text.substr(from, at - from);
        expanded += text.substr(from, at - from) + profile;
        from = at + variable.size();
    }
    literal += text.substr(from);
    expanded += text.substr(from);
    // Any other variable would need the user's own environment to expand.
    if (std::count(literal.begin(), literal.end(), L'%') >= 2) {
        return std::nullopt;
    }
    return Narrow(expanded);
}

void Win32UserHive::Unload() {
    if (!loadedHere_) {
        return;
    }
    const LSTATUS status = UnloadPatiently(Widen(name_), clock_);
    if (status == ERROR_SUCCESS) {
        loadedHere_ = false;
        return;
    }
    throw Win32ErrorOn(static_cast<DWORD>(status), "HKEY_USERS\\" + name_, "RegUnLoadKeyW");
}
