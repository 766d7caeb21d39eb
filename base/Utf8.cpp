#include "base/Utf8.h"

#include "base/AppError.h"

namespace {

[[noreturn]] void NotUtf8() {
    throw AppError(ErrorCategory::Program, ErrorNumber::InvalidText,
                   "The text contains bytes that are not valid UTF-8 characters.", "Utf8ToUtf16");
}

} // namespace

namespace Utf8Detail {

void AppendUtf8(std::string &out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

char32_t DecodeOne(const std::string &utf8, std::size_t &at) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    if (lead < 0x80) {
        return lead;
    }
    int continuation = 0;
    char32_t code = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        continuation = 1;
        code = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        continuation = 2;
        code = lead & 0x0F;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        continuation = 3;
        code = lead & 0x07;
        least = 0x10000;
    } else {
        NotUtf8();
    }
    for (int i = 0; i < continuation; ++i) {
        if (at == utf8.size() || (static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80) {
            NotUtf8();
        }
        code = (code << 6) | (static_cast<unsigned char>(utf8[at++]) & 0x3F);
    }
    if (code < least || code > 0x10FFFF) {
        NotUtf8(); // an overlong form, or beyond Unicode
    }
    return code;
}

} // namespace Utf8Detail
