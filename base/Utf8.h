#pragma once

// The program's text is UTF-8; the wide Windows APIs take UTF-16. Windows
// file names and edit controls may hold a lone surrogate, which UTF-8 cannot
// carry, so a surrogate without its partner travels as its own three-byte
// sequence (the generalised UTF-8 known as WTF-8) and comes back unchanged.
// Anything else that is not UTF-8 throws AppError.

#include <string>

std::u16string Utf8ToUtf16(const std::string &utf8);
std::string Utf16ToUtf8(const std::u16string &utf16);
