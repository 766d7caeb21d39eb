// The least a program of Torvane's kind can do: one window with one edit
// control and one button, ending when the button is clicked. Its timings are
// the floor Torvane's are compared with.

#include "FloorWindow.h"
#include "platform/win32/UniqueHandles.h"

#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool clicked =
        message == WM_COMMAND && LOWORD(wParam) == FloorButtonId && HIWORD(wParam) == BN_CLICKED;
    if (clicked) {
        BeforeEnding(window);
    }
    if (clicked || message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HMENU IdMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"FloorWindow";
    if (RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    const unique_hwnd window(CreateWindowExW(
        0, windowClass.lpszClassName, FloorCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
        CW_USEDEFAULT, CW_USEDEFAULT, 540, 80, nullptr, nullptr, hInstance, nullptr));
    if (!window) {
        return 1;
    }
    CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", FloorText, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 8,
                    8, 400, 24, window.get(), IdMenu(FloorEditId), hInstance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 416, 8, 100, 24,
                    window.get(), IdMenu(FloorButtonId), hInstance, nullptr);
    ShowWindow(window.get(), nShowCmd);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
