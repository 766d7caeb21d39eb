#pragma once

// The registry value Torvane reads its database path from,
// HKCU\SOFTWARE\Kestrova\Quorvex\Defaults "Database", pointed at another
// file while the owner lives. What was there is put back afterwards, and
// keys made for it are removed.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

class DatabaseValue {
public:
    explicit DatabaseValue(const std::wstring &path);
    DatabaseValue(const DatabaseValue &) = delete;
    DatabaseValue &operator=(const DatabaseValue &) = delete;
    ~DatabaseValue();

private:
    // How many keys on the way down existed before: the rest are ours.
    std::size_t existingKeys_ = 0;
    unique_hkey key_;
    bool hadValue_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};
