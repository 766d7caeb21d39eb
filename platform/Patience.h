#pragma once

// Waiting for something another process holds, with a clock a test can
// replace, so the waits are tested without waiting.

#include "base/Win32Codes.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>

class IClock {
public:
    virtual ~IClock() = default;
    virtual std::chrono::milliseconds Now() = 0;
    virtual void Sleep(std::chrono::milliseconds pause) = 0;
};

// Whether a Win32 code says another process holds what was asked for: a
// key of a hive being unloaded, a file being opened.
inline bool HeldByAnother(std::int32_t code) {
    return code == Win32Code::AccessDenied || code == Win32Code::SharingViolation;
}

// Calls attempt until it gives 0, or a code busy does not call "held by
// someone else", or until budget has passed since the first call, the last
// attempt falling at its end. The pauses grow from 50 ms, doubling up to a
// second: a handle held for a moment costs little, one held longer is not
// asked after in a busy loop. Gives the last attempt's code.
inline std::int32_t RetryWhileBusy(IClock &clock, std::chrono::milliseconds budget,
                                   const std::function<bool(std::int32_t)> &busy,
                                   const std::function<std::int32_t()> &attempt) {
    using std::chrono::milliseconds;
    const milliseconds start = clock.Now();
    milliseconds pause(50);
    for (;;) {
        const std::int32_t code = attempt();
        const milliseconds spent = clock.Now() - start;
        if (code == 0 || !busy(code) || spent >= budget) {
            return code;
        }
        clock.Sleep(std::min(pause, budget - spent));
        pause = std::min(pause * 2, milliseconds(1000));
    }
}
