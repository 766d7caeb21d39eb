#include "WindowQueries.h"

#include "Wait.h"
#include "platform/win32/WideText.h"

#include <iterator>
#include <stdexcept>

namespace {

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM state) {
    auto *search = reinterpret_cast<std::pair<DWORD, std::vector<HWND>> *>(state);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->first) {
        search->second.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK StopAtClass(HWND window, LPARAM state) {
    auto *search = reinterpret_cast<std::pair<const std::wstring *, HWND> *>(state);
    if (HasClass(window, *search->first)) {
        search->second = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, StepTimeoutMs,
                            &result) == 0) {
        throw std::runtime_error("no answer from window " + Describe(window));
    }
    return static_cast<LRESULT>(result);
}

std::wstring TextOf(HWND window) {
    const auto length = static_cast<std::size_t>(SendBounded(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<std::size_t>(
        SendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return text;
}

std::wstring CaptionOf(HWND window) {
    wchar_t caption[512] = {};
    const int length = GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    return std::wstring(caption, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

bool HasClass(HWND window, const std::wstring &className) {
    return lstrcmpiW(ClassOf(window).c_str(), className.c_str()) == 0;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> search{processId, {}};
    EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND VisibleWindowCaptioned(DWORD processId, const std::wstring &caption) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (IsWindowVisible(window) && CaptionOf(window) == caption) {
            return window;
        }
    }
    return nullptr;
}

std::vector<HWND> DialogsOf(DWORD processId) {
    std::vector<HWND> dialogs;
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (IsWindowVisible(window) && HasClass(window, L"#32770")) {
            dialogs.push_back(window);
        }
    }
    return dialogs;
}

bool IsMessageBox(HWND dialog) {
    return HasClass(dialog, L"#32770") && GetDlgItem(dialog, MessageTextId) != nullptr;
}

HWND DescendantOfClass(HWND parent, const std::wstring &className) {
    std::pair<const std::wstring *, HWND> search{&className, nullptr};
    EnumChildWindows(parent, StopAtClass, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

RECT RectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

HWND FocusOf(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

std::string Describe(HWND window) {
    if (window == nullptr) {
        return "(none)";
    }
    if (!IsWindow(window)) {
        return "(a window that no longer exists)";
    }
    return "class '" + Narrow(ClassOf(window)) + "' id " + std::to_string(GetDlgCtrlID(window)) +
           " text '" + Narrow(CaptionOf(window)) + "'" +
           (IsWindowVisible(window) ? " visible" : " hidden");
}

std::string Describe(const std::vector<HWND> &windows) {
    std::string list = "[";
    for (HWND window : windows) {
        list += (list.size() > 1 ? "; " : "") + Describe(window);
    }
    return list + "]";
}
