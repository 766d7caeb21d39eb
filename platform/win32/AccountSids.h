#pragma once

// Accounts as their SIDs' text (S-1-5-18), as the platform's rules compare
// them.

#include <windows.h>

#include <string>

// The text of sid. Throws Win32Error.
std::string SidText(PSID sid);

// The account the process runs as: its token's user. Throws Win32Error.
std::string ProcessUserSid();
