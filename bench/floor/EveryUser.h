#pragma once

// What the all-users floors share: the way to every person's profile that
// Windows lists, as Torvane finds them, and the key each user's hive is
// loaded under while it is read.

#include <windows.h>

#include <functional>
#include <string>

// The machine's list of profiles, below HKEY_LOCAL_MACHINE.
constexpr wchar_t ProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// A person's entry of ProfileList.
struct UserEntry {
    std::wstring name;   // the SID, or "<SID>.bak" for a profile Windows set aside
    std::wstring folder; // ProfileImagePath, expanded
};

// A user's hive is loaded under this key of HKEY_USERS while it is read: a
// name of the floors' own, so a hive the system loaded is never touched.
// The ANSI form ends with the backslash the ANSI reads below it need.
constexpr wchar_t FloorHiveName[] = L"TorvaneFloorUser";
constexpr char FloorHiveKey[] = "TorvaneFloorUser\\";

// The text of a string value under root\key (root itself when key is
// empty), or empty when there is none.
// flags are RegGetValueW's: RRF_RT_REG_SZ expands a REG_EXPAND_SZ.
std::wstring ReadRegistryText(HKEY root, const std::wstring &key, const wchar_t *name,
                              DWORD flags = RRF_RT_REG_SZ);

// Enables the privileges loading and unloading a hive need, then calls
// forUser for each person's entry of ProfileList in turn. Gives
// ERROR_PRIVILEGE_NOT_HELD, or the registry's failure to open the list, or
// else the last failure forUser gave, or 0.
DWORD ForEveryUser(const std::function<DWORD(const UserEntry &)> &forUser);
