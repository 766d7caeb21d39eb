#include "platform/win32/WideText.h"

#include "base/Utf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide Windows APIs take UTF-16");

std::wstring Widen(const std::string &utf8) {
    const std::u16string utf16 = Utf8ToUtf16(utf8);
    return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(const std::wstring &utf16) {
    return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
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

AppError Win32Error(DWORD code, std::string source) {
    return AppError(ErrorCategory::Win32, static_cast<std::int32_t>(code), SystemErrorText(code),
                    std::move(source));
}

AppError Win32ErrorOn(DWORD code, const std::string &subject, std::string source) {
    return AppError(ErrorCategory::Win32, static_cast<std::int32_t>(code),
                    subject + ": " + SystemErrorText(code), std::move(source));
}
