#pragma once

// The DPI Wine lays a program's screen out for: LogPixels under
// HKCU\Control Panel\Desktop, read by each program as it starts. The owner
// sets it for the programs started while it lives and puts it back as found.

#include <windows.h>

#include <optional>

class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi);
    DisplayDpi(const DisplayDpi &) = delete;
    DisplayDpi &operator=(const DisplayDpi &) = delete;
    ~DisplayDpi();

private:
    std::optional<DWORD> original_;
};
