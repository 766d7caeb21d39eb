#pragma once

// A clock that only counts: every pause passes at once, and is recorded.

#include "platform/Patience.h"

#include <chrono>
#include <vector>

class CountingClock : public IClock {
public:
    std::chrono::milliseconds Now() override { return now; }
    void Sleep(std::chrono::milliseconds pause) override {
        pauses.push_back(pause.count());
        now += pause;
    }
    std::chrono::milliseconds now{0};
    std::vector<long long> pauses;
};
