#pragma once

#include <string>

// Thrown by a fake asked to change something while changes are forbidden:
// no part of the program catches it, so the test that forbade them fails.
struct ForbiddenChange {
    std::string what;
};
