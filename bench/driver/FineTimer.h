#pragma once

// While one lives, Sleep and timed waits in this process wake within about
// a millisecond. Windows otherwise wakes them on its timer's tick, 15.6 ms
// by default, which would blur the driver's 1 ms polling into steps far
// coarser than the figures it measures. Wine wakes them within the
// millisecond either way.

#include <windows.h>

#include <mmsystem.h>

class FineTimer {
public:
    FineTimer() { timeBeginPeriod(Period); }
    FineTimer(const FineTimer &) = delete;
    FineTimer &operator=(const FineTimer &) = delete;
    ~FineTimer() { timeEndPeriod(Period); }

private:
    static constexpr UINT Period = 1;
};
