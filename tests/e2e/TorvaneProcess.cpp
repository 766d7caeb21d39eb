#include "TorvaneProcess.h"

#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"
#include "ui/win32/ControlIds.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

std::wstring BuiltTorvane() {
    const std::wstring self = ExecutablePath();
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"Torvane.exe";
}

TorvaneProcess::TorvaneProcess(const StartOptions &options, Expect expect,
                               const std::wstring &executable)
    : process_(executable, options) {
    if (expect == Expect::Nothing) {
        return;
    }
    // Stop early when the program shows a message or ends instead.
    WaitUntil([&] {
        window_ = VisibleWindowCaptioned(process_.Id(), MainWindowCaption);
        return window_ != nullptr || !Running() || !DialogsOf(process_.Id()).empty();
    });
    if (window_ == nullptr) {
        throw std::runtime_error("no window captioned '" + Narrow(MainWindowCaption) +
                                 "'; the process " + State() + " and shows " + ShownWindows());
    }
    // Loading is over once the program waits for input: focus is placed.
    WaitForInputIdle(process_.Handle(), StepTimeoutMs);
}

HWND TorvaneProcess::Control(std::string_view name) const {
    return GetDlgItem(window_, ControlIdOf(name));
}

HWND TorvaneProcess::Focus() const { return FocusOf(process_.ThreadId()); }

ShownMessage TorvaneProcess::WaitForMessageBox() const {
    std::vector<HWND> dialogs;
    WaitUntil([&] {
        dialogs = DialogsOf(process_.Id());
        return std::any_of(dialogs.begin(), dialogs.end(), IsMessageBox) || !Running();
    });
    if (dialogs.size() != 1 || !IsMessageBox(dialogs.front())) {
        throw std::runtime_error("expected one message box; the process " + State() +
                                 " and shows " + ShownWindows());
    }
    HWND box = dialogs.front();
    return {box, TextOf(box), TextOf(GetDlgItem(box, MessageTextId))};
}

void TorvaneProcess::Acknowledge(const ShownMessage &message) const {
    HWND ok = GetDlgItem(message.window, IDOK);
    if (ok == nullptr) {
        throw std::runtime_error("the message box has no OK button: " + Describe(message.window));
    }
    PostMessageW(ok, BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(message.window) || !IsWindowVisible(message.window); })) {
        throw std::runtime_error("the message box stays after OK: " + Describe(message.window));
    }
}

HWND TorvaneProcess::WaitForOpenDialog() const {
    HWND dialog = nullptr;
    WaitUntil([&] {
        dialog = VisibleWindowCaptioned(process_.Id(), L"Open");
        return dialog != nullptr || !Running();
    });
    if (dialog == nullptr || !HasClass(dialog, L"#32770")) {
        throw std::runtime_error("no open-file dialog; the process shows " + ShownWindows());
    }
    return dialog;
}

DWORD TorvaneProcess::WaitForExit() const {
    const std::optional<DWORD> exitCode = process_.WaitForExit(StepTimeoutMs);
    if (!exitCode) {
        throw std::runtime_error("the program keeps running and shows " + ShownWindows());
    }
    return *exitCode;
}

std::string TorvaneProcess::State() const {
    const std::optional<DWORD> exitCode = process_.WaitForExit(0);
    if (!exitCode) {
        return "is running";
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(*exitCode));
    return std::string("has ended with code ") + code;
}

std::string TorvaneProcess::ShownWindows() const {
    std::vector<HWND> visible;
    for (HWND window : TopLevelWindowsOf(process_.Id())) {
        if (IsWindowVisible(window)) {
            visible.push_back(window);
        }
    }
    std::string shown = Describe(visible);
    for (HWND dialog : visible) {
        if (HWND text = GetDlgItem(dialog, MessageTextId)) {
            shown += " with message '" + Narrow(TextOf(text)) + "'";
        }
    }
    return shown;
}
