#pragma once

#include <cstdint>
#include <string>
#include <variant>

// One registry value as read: nothing, a string or a 32-bit integer.
using RegistryValue = std::variant<std::monostate, std::string, std::int32_t>;

// Empty gives "", an integer its decimal text.
std::string ToString(const RegistryValue &value);
