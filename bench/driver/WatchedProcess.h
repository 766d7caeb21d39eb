#pragma once

// A program the driver starts and watches from outside until it ends. A
// program still running when its owner goes away is ended.

#include "ChildProcess.h"
#include "Stopwatch.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class WatchedProcess {
public:
    // Starts the program with these arguments and no standard output; its
    // clock starts just before CreateProcess.
    explicit WatchedProcess(const std::wstring &executable,
                            const std::vector<std::wstring> &arguments = {});
    WatchedProcess(const WatchedProcess &) = delete;
    WatchedProcess &operator=(const WatchedProcess &) = delete;

    // Waits until the program waits for input and shows a window with this
    // caption whose control editId holds text; gives that window.
    HWND WaitUntilReady(const std::wstring &caption, int editId, const std::wstring &text) const;
    // Waits for a message box and checks its title and text; gives the box.
    HWND WaitForMessageBox(const std::wstring &title, const std::wstring &text) const;
    // The most memory the process has had in its working set, in bytes.
    SIZE_T PeakWorkingSet() const;
    // Waits until the program ends; throws unless its exit code is 0.
    void WaitForExit() const;

    double ElapsedMs() const { return clock_.ElapsedMs(); }

private:
    // Checks condition every millisecond until it holds; throws, naming what
    // it waited for, if the program ends first or the wait is too long.
    void PollUntil(const std::function<bool()> &condition, const std::string &what) const;

    // Declared first, so the clock starts just before the program does.
    Stopwatch clock_;
    ChildProcess process_;
};
