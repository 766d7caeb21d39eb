#pragma once

#include "platform/PlatformServices.h"

#include <windows.h>

#include <optional>

// The program's own version information, and its ending.
class Win32Application : public IApplication {
public:
    AppInfo Info() override;
    void End(int exitCode) override;
    bool IsElevated() override;
    void StartElevated(const std::string &parameters) override;
    std::string ErrorText(std::int32_t code) override;
    bool RunsAsSystem() override;

    void SetMainWindow(HWND window) { mainWindow_ = window; }
    bool Ended() const { return exitCode_.has_value(); }
    int ExitCodeOr(int fallback) const { return exitCode_.value_or(fallback); }

private:
    std::optional<AppInfo> info_;
    std::optional<int> exitCode_;
    HWND mainWindow_ = nullptr;
};

// Product name and major, minor and revision (the fourth field) read from
// the version resource of the module at modulePath.
AppInfo ReadVersionInfo(const std::wstring &modulePath);
// Whether process runs with full administrator rights; nothing when that
// cannot be told.
std::optional<bool> ProcessElevation(HANDLE process);
// The full path of the running executable, however long.
std::wstring ExecutablePath();
