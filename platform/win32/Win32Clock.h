#pragma once

#include "platform/Patience.h"

#include <windows.h>

// The system's clock: milliseconds since start-up, and Sleep.
class Win32Clock : public IClock {
public:
    std::chrono::milliseconds Now() override { return std::chrono::milliseconds(GetTickCount64()); }
    void Sleep(std::chrono::milliseconds pause) override {
        ::Sleep(static_cast<DWORD>(pause.count()));
    }
};
