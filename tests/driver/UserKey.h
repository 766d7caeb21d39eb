#pragma once

// Keys under HKEY_CURRENT_USER that the tests arrange and put back.

#include "platform/win32/UniqueHandles.h"

// Opens the key for reading and writing, creating it if need be; throws,
// naming what, if it cannot.
unique_hkey CreateUserKey(const wchar_t *path, const char *what);
