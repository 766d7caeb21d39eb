#include "WindowLookup.h"

#include <iterator>
#include <stdexcept>

namespace {

struct Search {
    DWORD processId;
    const std::function<bool(HWND)> *matches;
    HWND found;
};

BOOL CALLBACK StopAtMatch(HWND window, LPARAM state) {
    auto *search = reinterpret_cast<Search *>(state);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && (*search->matches)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, AnswerTimeoutMs,
                            &result) == 0) {
        throw std::runtime_error("a window of the program does not answer");
    }
    return static_cast<LRESULT>(result);
}

} // namespace

HWND VisibleWindowOf(DWORD processId, const std::function<bool(HWND)> &matches) {
    Search search{processId, &matches, nullptr};
    EnumWindows(StopAtMatch, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring CaptionOf(HWND window) {
    wchar_t caption[512] = {};
    const int length = GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    return std::wstring(caption, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring TextOf(HWND control) {
    const auto length = static_cast<std::size_t>(Ask(control, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<std::size_t>(
        Ask(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return text;
}

bool HasClass(HWND window, const wchar_t *className) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return lstrcmpiW(name, className) == 0;
}

void Click(HWND button) {
    if (button == nullptr || !PostMessageW(button, BM_CLICK, 0, 0)) {
        throw std::runtime_error("cannot click a button of the program");
    }
}
