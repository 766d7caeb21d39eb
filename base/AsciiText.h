#pragma once

// Names the program compares as Windows does when they are plain ASCII (a
// SID, an option, a key's name, a path's prefix): letters in either case are
// the same letter. Nothing else is folded.

#include <algorithm>
#include <string_view>

namespace AsciiText {

constexpr char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Upper(x) == Upper(y); });
}

inline bool StartsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameIgnoringCase(text.substr(0, prefix.size()), prefix);
}

} // namespace AsciiText
