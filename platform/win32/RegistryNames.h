#pragma once

// The keys of Windows' own that the program reads, each named once.

// The machine's profiles, one sub-key a user (HKEY_LOCAL_MACHINE), and as
// failures name it.
constexpr wchar_t ProfileListKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char ProfileListName[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// A value for each hive loaded (HKEY_LOCAL_MACHINE), named by its key
// (\REGISTRY\USER\<SID>) and holding the path of its file on its device
// (\Device\HarddiskVolume3\Users\ann\NTUSER.DAT), and as failures name it.
constexpr wchar_t HiveListKey[] = L"SYSTEM\\CurrentControlSet\\Control\\hivelist";
constexpr char HiveListName[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\hivelist";

// Where a user's folders are kept, below the user's own key
// (HKEY_CURRENT_USER, or the user's hive under HKEY_USERS).
constexpr wchar_t UserShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
