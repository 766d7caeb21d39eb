#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// value in base 10 or 16 (upper-case digits), with leading zeros up to
// digits: ZeroPadded(7, 2) is "07", ZeroPadded(0x3AB, 4, 16) "03AB".
std::string ZeroPadded(std::uint32_t value, std::size_t digits, int base = 10);
