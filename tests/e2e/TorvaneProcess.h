#pragma once

// Torvane.exe as a running process, seen from outside: its main window, the
// dialogs it shows and how it ends. A process still running when its owner
// goes away is ended, so no test leaves one behind.

#include "ChildProcess.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// A message box as shown: its window, title and text.
struct ShownMessage {
    HWND window;
    std::wstring title;
    std::wstring text;
};

// The Torvane.exe that was built, beside this program.
std::wstring BuiltTorvane();

class TorvaneProcess {
public:
    // What to wait for once the program has started.
    enum class Expect { MainWindow, Nothing };

    // Starts the executable and waits for its main window; throws, naming
    // what the process showed instead, if none comes.
    explicit TorvaneProcess(const StartOptions &options = {}, Expect expect = Expect::MainWindow,
                            const std::wstring &executable = BuiltTorvane());
    explicit TorvaneProcess(const std::vector<std::wstring> &arguments,
                            Expect expect = Expect::MainWindow)
        : TorvaneProcess(StartOptions{arguments, std::nullopt, false}, expect) {}
    explicit TorvaneProcess(const std::wstring &executable)
        : TorvaneProcess(StartOptions{}, Expect::MainWindow, executable) {}
    TorvaneProcess(const TorvaneProcess &) = delete;
    TorvaneProcess &operator=(const TorvaneProcess &) = delete;

    HWND Window() const { return window_; }
    // A control of the main window by its name in the layout table.
    HWND Control(std::string_view name) const;
    DWORD ThreadId() const { return process_.ThreadId(); }
    DWORD ProcessId() const { return process_.Id(); }
    HANDLE Process() const { return process_.Handle(); }
    // The control with the focus, or null.
    HWND Focus() const;
    bool Running() const { return process_.Running(); }
    bool Elevated() const { return process_.Elevated(); }

    // The one message box the process shows; throws if none comes or there
    // is more than one.
    ShownMessage WaitForMessageBox() const;
    // Presses OK and waits until the box has gone.
    void Acknowledge(const ShownMessage &message) const;
    // The open-file dialog; throws if it does not come.
    HWND WaitForOpenDialog() const;
    // Waits until the process ends and gives its exit code; throws if it
    // keeps running, naming the dialogs it still shows.
    DWORD WaitForExit() const;

private:
    // "is running" or "has ended with code ...", for failure messages.
    std::string State() const;
    std::string ShownWindows() const;

    ChildProcess process_;
    HWND window_ = nullptr;
};

// The main window's caption once the program has loaded.
constexpr wchar_t MainWindowCaption[] = L"Rename Quorvex Database - Version " TORVANE_VERSION;
// The title of every message box the program shows for itself.
constexpr wchar_t MessageTitle[] = L"Torvane";
