#include "platform/LineText.h"

#include <cstddef>

namespace {

// The code point at text[at] and its length in bytes; length 0 for a byte
// that starts no UTF-8 character. A lone surrogate's three bytes (WTF-8,
// as file names may hold one) count as a character.
struct Decoded {
    char32_t point;
    std::size_t length;
};

Decoded Decode(const std::string &text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t point = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1Fu;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0Fu;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07u;
        least = 0x10000;
    } else {
        return {0, 0};
    }
    if (at + length > text.size()) {
        return {0, 0};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            return {0, 0};
        }
        point = (point << 6) | (byte(at + i) & 0x3Fu);
    }
    if (point < least || point > 0x10FFFF) {
        return {0, 0};
    }
    return {point, length};
}

void AppendEscape(std::string &line, char kind, char32_t value, int digits) {
    static const char Hex[] = "0123456789ABCDEF";
    line.push_back('\\');
    line.push_back(kind);
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        line.push_back(Hex[(value >> shift) & 0xFu]);
    }
}

bool IsControl(char32_t point) { return point < 0x20 || (point >= 0x7F && point <= 0x9F); }

// The separators that end a line, and the controls that reorder what a
// reader sees.
bool IsLayoutMark(char32_t point) {
    return point == 0x2028 || point == 0x2029 || (point >= 0x202A && point <= 0x202E) ||
           (point >= 0x2066 && point <= 0x2069);
}

} // namespace

std::string EscapedLine(const std::string &line) {
    std::string escaped;
    escaped.reserve(line.size());
    for (std::size_t at = 0; at < line.size();) {
        const Decoded decoded = Decode(line, at);
        if (decoded.length == 0) {
            AppendEscape(escaped, 'x', static_cast<unsigned char>(line[at]), 2);
            ++at;
            continue;
        }
        if (IsControl(decoded.point)) {
            AppendEscape(escaped, 'x', decoded.point, 2);
        } else if (IsLayoutMark(decoded.point)) {
            AppendEscape(escaped, 'u', decoded.point, 4);
        } else {
            escaped.append(line, at, decoded.length);
        }
        at += decoded.length;
    }
    return escaped;
}
