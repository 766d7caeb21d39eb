#include "base/NumberText.h"

#include <charconv>

std::string ZeroPadded(std::uint32_t value, std::size_t digits, int base) {
    char buffer[32];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value, base).ptr;
    std::string text(buffer, static_cast<std::size_t>(end - buffer));
    for (char &digit : text) {
        if (digit >= 'a' && digit <= 'z') {
            digit = static_cast<char>(digit - 'a' + 'A');
        }
    }
    if (text.size() < digits) {
        text.insert(0, digits - text.size(), '0');
    }
    return text;
}
