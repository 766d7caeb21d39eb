#include "WatchedProcess.h"

#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"

#include <psapi.h>

#include <algorithm>
#include <stdexcept>

namespace {

// Short enough not to blur a figure of a few tens of milliseconds.
constexpr DWORD PollIntervalMs = 1;

} // namespace

// No standard output: what a run writes must not mix with the driver's table.
WatchedProcess::WatchedProcess(const std::wstring &executable,
                               const std::vector<std::wstring> &arguments)
    : process_(executable, StartOptions{arguments, HANDLE{}, false}) {}

HWND WatchedProcess::WaitUntilReady(const std::wstring &caption, int editId,
                                    const std::wstring &text) const {
    // Input idle comes at the program's first wait for input, normally its
    // message loop once the window is up; the polling covers a program that
    // waits for input earlier.
    WaitForInputIdle(process_.Handle(), StepTimeoutMs);
    HWND window = nullptr;
    PollUntil(
        [&] {
            window = VisibleWindowCaptioned(process_.Id(), caption);
            return window != nullptr && TextOf(GetDlgItem(window, editId)) == text;
        },
        "a window captioned '" + Narrow(caption) + "' showing '" + Narrow(text) + "'");
    return window;
}

HWND WatchedProcess::WaitForMessageBox(const std::wstring &title, const std::wstring &text) const {
    HWND box = nullptr;
    PollUntil(
        [&] {
            const std::vector<HWND> dialogs = DialogsOf(process_.Id());
            const auto found = std::find_if(dialogs.begin(), dialogs.end(), IsMessageBox);
            box = found == dialogs.end() ? nullptr : *found;
            return box != nullptr;
        },
        "a message box");
    const std::wstring shown = TextOf(GetDlgItem(box, MessageTextId));
    if (CaptionOf(box) != title || shown != text) {
        throw std::runtime_error("unexpected message box '" + Narrow(CaptionOf(box)) +
                                 "' saying '" + Narrow(shown) + "'");
    }
    return box;
}

SIZE_T WatchedProcess::PeakWorkingSet() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process_.Handle(), &counters, sizeof counters)) {
        return 0;
    }
    return counters.PeakWorkingSetSize;
}

void WatchedProcess::WaitForExit() const {
    const std::optional<DWORD> exitCode = process_.WaitForExit(StepTimeoutMs);
    if (!exitCode) {
        throw std::runtime_error("the program keeps running");
    }
    if (*exitCode != 0) {
        throw std::runtime_error("the program ended with code " + std::to_string(*exitCode));
    }
}

void WatchedProcess::PollUntil(const std::function<bool()> &condition,
                               const std::string &what) const {
    const Stopwatch waited;
    while (!condition()) {
        if (WaitForSingleObject(process_.Handle(), PollIntervalMs) == WAIT_OBJECT_0) {
            throw std::runtime_error("the program ended while the driver waited for " + what);
        }
        if (waited.ElapsedMs() > StepTimeoutMs) {
            throw std::runtime_error("gave up waiting for " + what);
        }
    }
}
