#include "WholeJob.h"

#include "UserInput.h"
#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"

#include <stdexcept>

void RunWholeJob(const TorvaneProcess &torvane, const std::wstring &database,
                 const std::function<void()> &beforeOk) {
    Click(torvane.Control("cmdBrowse"));
    HWND dialog = torvane.WaitForOpenDialog();
    Click(GetDlgItem(dialog, IDCANCEL));
    if (!WaitUntil([&] { return !IsWindow(dialog); })) {
        throw std::runtime_error("the open-file dialog stays after Cancel");
    }

    Click(torvane.Control("cmdRename"));
    const ShownMessage message = torvane.WaitForMessageBox();
    const std::wstring expected = L"File has been renamed to:\r\n\r\n" + database + L".Advanced";
    if (message.text != expected) {
        throw std::runtime_error("the message after the rename reads '" + Narrow(message.text) +
                                 "'");
    }
    beforeOk();
    torvane.Acknowledge(message);
    const DWORD exitCode = torvane.WaitForExit();
    if (exitCode != 0) {
        throw std::runtime_error("the program ended with code " + std::to_string(exitCode));
    }
}
