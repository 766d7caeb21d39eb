#include "platform/win32/WideText.h"

#include "base/Utf8.h"

std::wstring Widen(const std::string &utf8) { return Utf8ToUtf16<std::wstring>(utf8); }

std::string Narrow(const std::wstring &utf16) { return Utf16ToUtf8(utf16); }

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
