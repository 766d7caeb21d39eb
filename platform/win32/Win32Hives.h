#pragma once

#include <windows.h>

#include <string>

// Loading and unloading hives under HKEY_USERS, each once, with the backup
// and restore privileges enabled for just that. A hive loaded here is known
// to StoppedHiveLoads until it is unloaded.

// Loads file as HKEY_USERS\<name>. Throws Win32Error, naming file, and
// ERROR_OPERATION_ABORTED while a StoppedHiveLoads lives; a failed load
// leaves nothing under that name.
void LoadHiveFile(const std::wstring &name, const std::wstring &file);

// Tries once to unload HKEY_USERS\<name>: RegUnLoadKeyW's status, or why
// the privileges could not be had.
LSTATUS UnloadHiveOnce(const std::wstring &name);

// For a console's Ctrl+C, Ctrl+Break or close, which end the process, from
// the thread the system runs the handler on: making it unloads every hive
// loaded here, within about 3 seconds, and no hive is loaded while it lives.
class StoppedHiveLoads {
public:
    StoppedHiveLoads();
    StoppedHiveLoads(const StoppedHiveLoads &) = delete;
    StoppedHiveLoads &operator=(const StoppedHiveLoads &) = delete;
    ~StoppedHiveLoads();
};
