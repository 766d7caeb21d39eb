#include "platform/win32/Win32UserHive.h"

#include "platform/win32/EnabledPrivilege.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <utility>

namespace {

constexpr wchar_t UserShellFolders[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t UserProfileVariable[] = L"%USERPROFILE%";

// Unloading fails while another process still has a key of the hive open;
// such handles are usually closed within moments.
constexpr int UnloadAttempts = 5;
constexpr DWORD UnloadPause = 100; // milliseconds

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

Win32UserHive::Win32UserHive(std::string name, std::string profileFolder, bool loadedHere)
    : name_(std::move(name)), profileFolder_(std::move(profileFolder)), loadedHere_(loadedHere) {}

std::unique_ptr<Win32UserHive> Win32UserHive::InPlace(const UserProfile &user) {
    return std::unique_ptr<Win32UserHive>(new Win32UserHive(user.sid, user.folder, false));
}

std::unique_ptr<Win32UserHive>
Win32UserHive::Load(const UserProfile &user, const std::wstring &name, const std::wstring &file) {
    // The owner first, so nothing can fail between loading and owning.
    std::unique_ptr<Win32UserHive> hive(new Win32UserHive(Narrow(name), user.folder, false));
    const EnabledPrivilege backup(SE_BACKUP_NAME);
    const EnabledPrivilege restore(SE_RESTORE_NAME);
    const LSTATUS status = RegLoadKeyW(HKEY_USERS, name.c_str(), file.c_str());
    if (status != ERROR_SUCCESS) {
        throw Win32ErrorOn(static_cast<DWORD>(status), Narrow(file), "RegLoadKeyW");
    }
    hive->loadedHere_ = true;
    return hive;
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
    const std::wstring name = Widen(name_);
    const EnabledPrivilege backup(SE_BACKUP_NAME);
    const EnabledPrivilege restore(SE_RESTORE_NAME);
    LSTATUS status = ERROR_SUCCESS;
    for (int attempt = 1;; ++attempt) {
        status = RegUnLoadKeyW(HKEY_USERS, name.c_str());
        if (status == ERROR_SUCCESS) {
            loadedHere_ = false;
            return;
        }
        const bool stillOpen = status == ERROR_ACCESS_DENIED || status == ERROR_SHARING_VIOLATION;
        if (!stillOpen || attempt == UnloadAttempts) {
            break;
        }
        Sleep(UnloadPause);
    }
    throw Win32ErrorOn(static_cast<DWORD>(status), "HKEY_USERS\\" + name_, "RegUnLoadKeyW");
}
