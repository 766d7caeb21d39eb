#include "platform/win32/WideText.h"

namespace {

constexpr std::int32_t InvalidArgument = 5; // the program's own number for bad text

} // namespace

std::wstring Widen(const std::string &utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                           static_cast<int>(utf8.size()), nullptr, 0);
    if (length == 0) {
        throw AppError(InvalidArgument, "Invalid procedure call or argument");
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring &utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int length =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(),
                            static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
    if (length == 0) {
        throw AppError(InvalidArgument, "Invalid procedure call or argument");
    }
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16.data(), static_cast<int>(utf16.size()),
                        narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string SystemErrorText(DWORD code) {
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text = length != 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "System error " + std::to_string(code);
    }
    return Narrow(text);
}

AppError Win32Error(DWORD code) {
    return AppError(static_cast<std::int32_t>(code), SystemErrorText(code));
}
