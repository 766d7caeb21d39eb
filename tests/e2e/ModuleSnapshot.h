#pragma once

// The modules another process has loaded, as the system lists them.

#include <windows.h>

#include <set>
#include <string>

// The file names of the process's modules ("version.dll"), lower case;
// throws if the process cannot be looked at.
std::set<std::wstring> ModuleNamesOf(DWORD processId);
