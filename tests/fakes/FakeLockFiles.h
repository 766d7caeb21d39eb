#pragma once

// The lock file as other runs hold it over time: an attempt gets the
// error of the first span not yet over on the clock, and the file once
// every span is; every attempt is recorded.

#include "platform/Patience.h"
#include "platform/UsersLock.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class FakeLockFiles : public ILockFiles {
public:
    struct Span {
        long long until; // ms on the clock
        std::int32_t error;
    };

    explicit FakeLockFiles(IClock &clock) : clock_(clock) {}

    struct Attempt {
        long long when;
        std::string path;
        std::string sddl;
    };

    std::vector<Span> spans;
    std::vector<Attempt> attempts;

    std::unique_ptr<IUsersLock> TryHold(const std::string &path, const std::string &sddl,
                                        std::int32_t &error) override {
        const long long now = clock_.Now().count();
        attempts.push_back({now, path, sddl});
        for (const Span &span : spans) {
            if (now < span.until) {
                error = span.error;
                return nullptr;
            }
        }
        error = 0;
        return std::make_unique<IUsersLock>();
    }

private:
    IClock &clock_;
};
