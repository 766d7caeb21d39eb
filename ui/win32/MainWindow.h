#pragma once

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32Dialogs.h"
#include "ui/IFormView.h"
#include "ui/frmMain.h"
#include "ui/frmMainLayout.h"

#include <windows.h>

#include <array>

// The font of the window and every control, at its size in points.
constexpr wchar_t DialogFontFace[] = L"MS Shell Dlg";
constexpr int DialogFontPoints = 8;

// The real window behind frmMain: built from the layout table, with every
// button's click run through RunEvent.
class MainWindow : public IFormView {
public:
    // With databasePath, the window opens on it in place of the lookup.
    MainWindow(const PlatformServices &services, Win32Application &application,
               Win32Dialogs &dialogs, std::optional<std::string> databasePath = std::nullopt);
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;
    ~MainWindow() override;

    // Creates the window, runs Form_Load and shows it unless loading ended
    // the program.
    void Open(HINSTANCE instance, int showCommand);
    // Dispatches messages until the program ends; returns its exit code.
    int RunMessageLoop();
    HWND Handle() const { return window_.get(); }

    void SetCaption(const std::string &caption) override;
    std::string DatabaseFileText() override;
    void SetDatabaseFileText(const std::string &text) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Builds the window with its controls, laid out and centred.
    void Create(HINSTANCE instance);
    void RegisterWindowClass(HINSTANCE instance);
    void CreateOwner(HINSTANCE instance);
    void CreateFrame(HINSTANCE instance);
    void CreateControls(HINSTANCE instance);
    void CentreOnScreen();
    // Sizes the client area, places every control and sets the font for dpi.
    void Layout(UINT dpi);
    void OnCommand(int id);
    // The window is going: no service may keep its handle.
    void OnDestroyed();

    // A button's control id and the handler its click runs.
    struct Command {
        int id;
        void (frmMain::*handler)();
    };

    PlatformServices services_;
    Win32Application &application_;
    Win32Dialogs &dialogs_;
    frmMain form_;
    std::array<Command, 3> commands_;
    // Members go in reverse order: the window, and the controls with it,
    // before the font they draw with, and before the owner that keeps the
    // window off the taskbar.
    unique_hwnd owner_;
    unique_hfont font_;
    unique_hwnd window_;
    std::array<HWND, frmMainLayout::Controls.size()> controls_{};
    HWND databaseFile_ = nullptr;
    HWND renameButton_ = nullptr;
    HWND focusOnDeactivate_ = nullptr;
    // True while a command's handler runs, so a click that arrives inside
    // its message box does not start another.
    bool handlingCommand_ = false;
};
