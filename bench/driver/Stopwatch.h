#pragma once

#include <windows.h>

// Elapsed time from the performance counter, in milliseconds.
class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }

    double ElapsedMs() const {
        LARGE_INTEGER now{};
        LARGE_INTEGER frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_{};
};
