#pragma once

#include "platform/PlatformServices.h"

#include <windows.h>

// Message boxes and the open-file dialog, owned by the main window once it
// is shown.
class Win32Dialogs : public IDialogs {
public:
    explicit Win32Dialogs(std::string applicationTitle);
    void SetOwner(HWND owner) { owner_ = owner; }

    void ShowMessage(const std::string &prompt, std::uint32_t style,
                     const std::optional<std::string> &title) override;
    std::optional<std::string> ShowOpenFile(const OpenFileRequest &request) override;
    bool AskYesNo(const std::string &prompt) override;

    // Room for the chosen path: the longest path the file APIs accept.
    static constexpr std::size_t FileNameCapacity = 32768;

private:
    HWND VisibleOwner() const;

    std::string applicationTitle_;
    HWND owner_ = nullptr;
};

// The description of a common dialog error code.
std::string CommonDialogErrorText(DWORD code);
