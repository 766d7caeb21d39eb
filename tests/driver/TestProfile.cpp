#include "TestProfile.h"

#include "platform/win32/EnabledPrivileges.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <sddl.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

constexpr wchar_t DatabaseKey[] = L"SOFTWARE\\Kestrova\\Quorvex\\Defaults";
constexpr wchar_t UserShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// Where a hive's contents are put together before they are saved.
constexpr wchar_t ScratchKey[] = L"Software\\TorvaneTestHive";

void Check(LSTATUS status, const char *what) {
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error(std::string("cannot ") + what + ": error " +
                                 std::to_string(status));
    }
}

// Stores the text with its NUL under root\key, creating the key if need be.
void SetText(HKEY root, const std::wstring &key, const wchar_t *name, DWORD type,
             const std::wstring &text) {
    unique_hkey opened;
    Check(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(),
                          nullptr),
          "create a test key");
    Check(RegSetValueExW(opened.get(), name, 0, type, reinterpret_cast<const BYTE *>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
          "store a test value");
}

std::wstring ListEntryPath(const std::wstring &sid) {
    return std::wstring(ProfileListKey) + L"\\" + sid;
}

// A SID of a person's form no real account has: the process and a count.
std::wstring FreshUserSid(const std::wstring &prefix) {
    static int made = 0;
    return prefix + L"7" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++made) + L"-1001";
}

std::wstring EntryName(const ProfileShape &shape) {
    return (shape.sid.empty() ? FreshUserSid(shape.sidPrefix) : shape.sid) + shape.entrySuffix;
}

// Saves contents as a hive file, through a scratch key of the running user.
void SaveHive(const HiveContents &contents, const std::wstring &file) {
    RegDeleteTreeW(HKEY_CURRENT_USER, ScratchKey);
    unique_hkey scratch;
    Check(RegCreateKeyExW(HKEY_CURRENT_USER, ScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          scratch.put(), nullptr),
          "create the scratch key");
    if (contents.database) {
        SetText(scratch.get(), DatabaseKey, L"Database", REG_SZ, *contents.database);
    }
    if (contents.localAppData) {
        SetText(scratch.get(), UserShellFoldersKey, L"Local AppData", REG_EXPAND_SZ,
                *contents.localAppData);
    }
    LSTATUS status = ERROR_SUCCESS;
    {
        const EnabledPrivileges backup({PrivilegeValue(SE_BACKUP_NAME)});
        status = RegSaveKeyW(scratch.get(), file.c_str(), nullptr);
    }
    scratch.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, ScratchKey);
    Check(status, "save the hive");
}

} // namespace

ProfileListEntry::ProfileListEntry(std::wstring sid, const std::wstring &profileFolder)
    : sid_(std::move(sid)) {
    unique_hkey entry;
    DWORD disposition = 0;
    Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, ListEntryPath(sid_).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, entry.put(), &disposition),
          "create the ProfileList entry");
    ours_ = disposition == REG_CREATED_NEW_KEY;
    if (ours_) {
        SetText(entry.get(), L"", L"ProfileImagePath", REG_EXPAND_SZ, profileFolder);
    }
}

ProfileListEntry::~ProfileListEntry() {
    if (ours_) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, ListEntryPath(sid_).c_str());
    }
}

TestProfile::TestProfile(const std::optional<HiveContents> &contents, const ProfileShape &shape)
    : sid_(EntryName(shape)), hiveFile_(shape.hiveFile), folder_(L"torvane-profile-" + sid_),
      entry_(sid_, folder_.Path()) {
    if (contents) {
        WriteHive(*contents);
    }
}

void TestProfile::WriteHive(const HiveContents &contents) const {
    DeleteFileW(HiveFile().c_str()); // RegSaveKeyW will not replace a file
    SaveHive(contents, HiveFile());
}

TestProfile::~TestProfile() {
    try {
        const EnabledPrivileges privileges(
            {PrivilegeValue(SE_BACKUP_NAME), PrivilegeValue(SE_RESTORE_NAME)});
        RegUnLoadKeyW(HKEY_USERS, LoadedName().c_str());
    } catch (const std::exception &) {
        // Without the privileges nothing can have been loaded.
    }
}

void TestProfile::LoadAsAnEarlierRunLeftIt() const {
    const EnabledPrivileges privileges(
        {PrivilegeValue(SE_BACKUP_NAME), PrivilegeValue(SE_RESTORE_NAME)});
    Check(RegLoadKeyW(HKEY_USERS, LoadedName().c_str(), HiveFile().c_str()), "load the hive");
}

UserProfile TestProfile::Profile() const {
    return {Narrow(sid_), Narrow(FullForm(folder_.Path()))};
}

std::wstring CurrentUserSid() {
    unique_handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        throw std::runtime_error("cannot open the process token");
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    wchar_t *text = nullptr;
    if (!GetTokenInformation(token.get(), TokenUser, user.data(), size, &size) ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid, &text)) {
        throw std::runtime_error("cannot tell the process's user");
    }
    const std::wstring sid = text;
    LocalFree(text);
    return sid;
}

std::vector<std::wstring> LoadedHives() {
    std::vector<std::wstring> names;
    wchar_t name[256];
    DWORD length = 256;
    for (DWORD index = 0; RegEnumKeyExW(HKEY_USERS, index, name, &length, nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
         ++index, length = 256) {
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}
