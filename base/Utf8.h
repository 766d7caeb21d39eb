#pragma once

// The program's text is UTF-8; the wide Windows APIs take UTF-16. Windows
// file names and edit controls may hold a lone surrogate, which UTF-8 cannot
// carry, so a surrogate without its partner travels as its own three-byte
// sequence (the generalised UTF-8 known as WTF-8) and comes back unchanged.
// Anything else that is not UTF-8 throws AppError.

#include <string>

namespace Utf8Detail {
constexpr char32_t HighSurrogateFirst = 0xD800;
constexpr char32_t LowSurrogateFirst = 0xDC00;
constexpr char32_t SurrogateLast = 0xDFFF;
// The code point starting at utf8[at], which moves past it. Throws AppError.
char32_t DecodeOne(const std::string &utf8, std::size_t &at);
void AppendUtf8(std::string &out, char32_t code);
} // namespace Utf8Detail

// Utf16 is any string of 16-bit code units: std::u16string, or the wide
// string of the Windows APIs, made directly with no copy in between.
template <typename Utf16 = std::u16string> Utf16 Utf8ToUtf16(const std::string &utf8) {
    using namespace Utf8Detail;
    using Unit = typename Utf16::value_type;
    static_assert(sizeof(Unit) == 2, "UTF-16 has 16-bit code units");
    Utf16 utf16;
    utf16.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t code = DecodeOne(utf8, at);
        if (code >= 0x10000) {
            code -= 0x10000;
            utf16.push_back(static_cast<Unit>(HighSurrogateFirst + (code >> 10)));
            code = LowSurrogateFirst + (code & 0x3FF);
        }
        utf16.push_back(static_cast<Unit>(code));
    }
    return utf16;
}

template <typename Utf16> std::string Utf16ToUtf8(const Utf16 &utf16) {
    using namespace Utf8Detail;
    static_assert(sizeof(typename Utf16::value_type) == 2, "UTF-16 has 16-bit code units");
    const auto high = [](char32_t unit) {
        return unit >= HighSurrogateFirst && unit < LowSurrogateFirst;
    };
    const auto low = [](char32_t unit) {
        return unit >= LowSurrogateFirst && unit <= SurrogateLast;
    };
    std::string utf8;
    utf8.reserve(utf16.size());
    for (std::size_t at = 0; at < utf16.size(); ++at) {
        char32_t code = static_cast<char16_t>(utf16[at]);
        if (high(code) && at + 1 < utf16.size() && low(static_cast<char16_t>(utf16[at + 1]))) {
            code = 0x10000 + ((code - HighSurrogateFirst) << 10) +
                   (static_cast<char16_t>(utf16[++at]) - LowSurrogateFirst);
        }
        AppendUtf8(utf8, code); // a lone surrogate keeps its own code point
    }
    return utf8;
}
