#pragma once

// The registry value the program reads its database path from:
// HKCU\SOFTWARE\Kestrova\Quorvex\Defaults, value "Database". The owner
// records it as found and puts it back, keys and all, when it goes away.

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

// The value as stored: absent, or a type and raw bytes.
struct StoredValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;

    bool operator==(const StoredValue &other) const {
        return present == other.present && type == other.type && data == other.data;
    }
};
std::ostream &operator<<(std::ostream &out, const StoredValue &value);

class DatabaseSetting {
public:
    DatabaseSetting();
    DatabaseSetting(const DatabaseSetting &) = delete;
    DatabaseSetting &operator=(const DatabaseSetting &) = delete;
    ~DatabaseSetting();

    // A REG_SZ value; an empty text stores an empty string.
    void Store(const std::wstring &text) const;
    void Remove() const;
    static StoredValue Read();

private:
    void Write(const StoredValue &value) const;

    StoredValue original_;
    // How many of the keys on the way down existed before: the rest are ours.
    std::size_t existingKeys_ = 0;
};
