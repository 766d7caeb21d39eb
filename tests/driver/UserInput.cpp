#include "UserInput.h"

#include "WindowQueries.h"

#include <cwctype>
#include <stdexcept>

namespace {

constexpr LPARAM RepeatCount = 1;
constexpr LPARAM AltDown = LPARAM{1} << 29;
constexpr LPARAM WasDown = LPARAM{1} << 30;
constexpr LPARAM Released = LPARAM{1} << 31;

LPARAM KeyData(UINT virtualKey) {
    return RepeatCount | static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageW(window, message, wParam, lParam)) {
        throw std::runtime_error("cannot post message " + std::to_string(message) + " to " +
                                 Describe(window));
    }
}

} // namespace

void Click(HWND button) { Post(button, BM_CLICK, 0, 0); }

void TypeText(HWND edit, const std::wstring &text) {
    SendBounded(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PressKey(HWND window, UINT virtualKey) {
    Post(window, WM_KEYDOWN, virtualKey, KeyData(virtualKey));
    Post(window, WM_KEYUP, virtualKey, KeyData(virtualKey) | WasDown | Released);
}

void PressAltKey(HWND window, wchar_t letter) {
    const UINT virtualKey = static_cast<UINT>(std::towupper(static_cast<wint_t>(letter)));
    Post(window, WM_SYSCHAR, static_cast<WPARAM>(letter), KeyData(virtualKey) | AltDown);
}
