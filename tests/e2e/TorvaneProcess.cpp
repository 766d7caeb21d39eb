#include "TorvaneProcess.h"

#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/ControlIds.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

std::wstring TorvaneExecutable() {
    const std::wstring self = ExecutablePath();
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"Torvane.exe";
}

} // namespace

TorvaneProcess::TorvaneProcess() {
    const std::wstring executable = TorvaneExecutable();
    std::wstring commandLine = L"\"" + executable + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        throw std::runtime_error("cannot start " + Narrow(executable) + ": error " +
                                 std::to_string(GetLastError()));
    }
    process_.reset(started.hProcess);
    unique_handle thread(started.hThread);
    processId_ = started.dwProcessId;
    threadId_ = started.dwThreadId;

    // Stop early when the program shows a message or ends instead.
    WaitUntil([&] {
        window_ = VisibleWindowCaptioned(processId_, MainWindowCaption);
        return window_ != nullptr || !Running() || !DialogsOf(processId_).empty();
    });
    if (window_ == nullptr) {
        throw std::runtime_error("no window captioned '" + Narrow(MainWindowCaption) +
                                 "'; the process " + State() + " and shows " + ShownWindows());
    }
    // Loading is over once the program waits for input: focus is placed.
    WaitForInputIdle(process_.get(), StepTimeoutMs);
}

TorvaneProcess::~TorvaneProcess() {
    if (Running()) {
        TerminateProcess(process_.get(), 255);
        WaitForSingleObject(process_.get(), StepTimeoutMs);
    }
}

HWND TorvaneProcess::Control(std::string_view name) const {
    return GetDlgItem(window_, ControlIdOf(name));
}

HWND TorvaneProcess::Focus() const { return FocusOf(threadId_); }

bool TorvaneProcess::Running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

ShownMessage TorvaneProcess::WaitForMessageBox() const {
    std::vector<HWND> dialogs;
    WaitUntil([&] {
        dialogs = DialogsOf(processId_);
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
        dialog = VisibleWindowCaptioned(processId_, L"Open");
        return dialog != nullptr || !Running();
    });
    if (dialog == nullptr || !HasClass(dialog, L"#32770")) {
        throw std::runtime_error("no open-file dialog; the process shows " + ShownWindows());
    }
    return dialog;
}

DWORD TorvaneProcess::WaitForExit() const {
    if (WaitForSingleObject(process_.get(), StepTimeoutMs) != WAIT_OBJECT_0) {
        throw std::runtime_error("the program keeps running and shows " + ShownWindows());
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process_.get(), &exitCode);
    return exitCode;
}

std::string TorvaneProcess::State() const {
    DWORD exitCode = 0;
    if (Running() || !GetExitCodeProcess(process_.get(), &exitCode)) {
        return "is running";
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(exitCode));
    return std::string("has ended with code ") + code;
}

std::string TorvaneProcess::ShownWindows() const {
    std::vector<HWND> visible;
    for (HWND window : TopLevelWindowsOf(processId_)) {
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
