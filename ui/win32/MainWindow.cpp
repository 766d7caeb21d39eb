#include "ui/win32/MainWindow.h"

#include "platform/win32/SystemFunctions.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ControlIds.h"

namespace {

constexpr wchar_t WindowClassName[] = L"TorvaneMainWindow";
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

int Scale(int twips, UINT dpi) {
    return frmMainLayout::TwipsToPixels(twips, static_cast<int>(dpi));
}

// The window's DPI where Windows tracks it per window, else the system's.
UINT DpiOf(HWND window) {
    if (const auto getDpiForWindow = User32().getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return dpi;
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

// The frame whose client area is clientWidth x clientHeight at dpi. Windows
// that track DPI per window measure the frame at that DPI.
SIZE FrameSizeFor(int clientWidth, int clientHeight, UINT dpi) {
    const auto adjustForDpi = User32().adjustWindowRectExForDpi;
    RECT frame{0, 0, clientWidth, clientHeight};
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, WindowStyle, FALSE, WindowExStyle, dpi)) {
        AdjustWindowRectEx(&frame, WindowStyle, FALSE, WindowExStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The system's default dialog font, "MS Shell Dlg" at 8 points, which the
// layout was designed for; Windows maps it to the UI font of its language.
HFONT CreateDialogFont(UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(DialogFontPoints, static_cast<int>(dpi), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, DialogFontFace);
    return CreateFontIndirectW(&font);
}

const wchar_t *WindowClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return L"STATIC";
    case ControlKind::TextBox:
        return L"EDIT";
    case ControlKind::CommandButton:
        break;
    }
    return L"BUTTON";
}

DWORD StyleOf(const ControlLayout &control) {
    const DWORD common = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
    case ControlKind::Label:
        return common | SS_LEFT; // wraps its text inside its box
    case ControlKind::TextBox:
        return common | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    case ControlKind::CommandButton:
        break;
    }
    return common | WS_TABSTOP |
           (control.role == ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

} // namespace

MainWindow::MainWindow(const PlatformServices &services, Win32Application &application,
                       Win32Dialogs &dialogs, std::optional<std::string> databasePath)
    : services_(services), application_(application), dialogs_(dialogs),
      form_(services, *this, std::move(databasePath)),
      commands_{{{ControlIdOf("cmdRename"), &frmMain::cmdRename_Click},
                 {ControlIdOf("cmdBrowse"), &frmMain::cmdBrowse_Click},
                 {ControlIdOf("cmdCancel"), &frmMain::cmdCancel_Click}}} {}

MainWindow::~MainWindow() {
    // Destroyed here, while every member its last messages reach still lives.
    window_.reset();
}

void MainWindow::Open(HINSTANCE instance, int showCommand) {
    Create(instance);
    RunEvent(services_, [this] { form_.Form_Load(); });
    if (!application_.Ended()) {
        ShowWindow(window_.get(), showCommand);
        SetForegroundWindow(window_.get());
        SetFocus(renameButton_);
    }
}

int MainWindow::RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window_.get(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return application_.ExitCodeOr(static_cast<int>(message.wParam));
}

void MainWindow::Create(HINSTANCE instance) {
    RegisterWindowClass(instance);
    CreateOwner(instance);
    CreateFrame(instance);
    application_.SetMainWindow(window_.get());
    dialogs_.SetOwner(window_.get());
    CreateControls(instance);
    Layout(DpiOf(window_.get()));
    CentreOnScreen();
}

void MainWindow::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = WindowClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        throw Win32Error(GetLastError(), "RegisterClassExW");
    }
}

void MainWindow::CreateOwner(HINSTANCE instance) {
    // An invisible owner keeps the window off the taskbar; without it the
    // window would not look as designed, so that is a failure too.
    owner_.reset(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr));
    if (!owner_) {
        throw Win32Error(GetLastError(), "CreateWindowExW");
    }
}

void MainWindow::CreateFrame(HINSTANCE instance) {
    // WM_NCCREATE binds the window to this object, so no message is missed.
    const std::wstring caption = Widen(std::string(frmMainLayout::Form.designCaption));
    if (CreateWindowExW(WindowExStyle, WindowClassName, caption.c_str(), WindowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_.get(), nullptr,
                        instance, this) == nullptr) {
        throw Win32Error(GetLastError(), "CreateWindowExW");
    }
}

void MainWindow::CentreOnScreen() {
    // On the screen it opens on.
    RECT frame{};
    GetWindowRect(window_.get(), &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_.get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &screen = monitor.rcMonitor;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_.get(), nullptr, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::CreateControls(HINSTANCE instance) {
    // Creation order is the order focus moves in.
    for (const std::size_t i : frmMainLayout::CreationOrder()) {
        const ControlLayout &control = frmMainLayout::Controls[i];
        const std::wstring caption = Widen(std::string(control.caption));
        controls_[i] = CreateWindowExW(
            control.kind == ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0,
            WindowClassOf(control.kind), caption.c_str(), StyleOf(control), 0, 0, 0, 0,
            window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control))),
            instance, nullptr);
        if (controls_[i] == nullptr) {
            throw Win32Error(GetLastError(), "CreateWindowExW");
        }
        if (control.kind == ControlKind::TextBox) {
            SendMessageW(controls_[i], EM_SETLIMITTEXT, 0, 0); // no length limit
        }
    }
    databaseFile_ = GetDlgItem(window_.get(), ControlIdOf("txtDatabaseFile"));
    renameButton_ = GetDlgItem(window_.get(), ControlIdOf("cmdRename"));
}

void MainWindow::Layout(UINT dpi) {
    const int clientWidth = Scale(frmMainLayout::Form.clientWidth, dpi);
    const int clientHeight = Scale(frmMainLayout::Form.clientHeight, dpi);
    SIZE frame = FrameSizeFor(clientWidth, clientHeight, dpi);
    SetWindowPos(window_.get(), nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A system that draws the frame at another DPI than it reports for the
    // window (Wine keeps the system's) leaves another client size: correct
    // by what is left over.
    RECT client{};
    GetClientRect(window_.get(), &client);
    if (client.right != clientWidth || client.bottom != clientHeight) {
        frame.cx += clientWidth - client.right;
        frame.cy += clientHeight - client.bottom;
        SetWindowPos(window_.get(), nullptr, 0, 0, frame.cx, frame.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The old font is deleted only once no control uses it any more.
    unique_hfont font(CreateDialogFont(dpi));
    for (std::size_t i = 0; i < frmMainLayout::Controls.size(); ++i) {
        const ControlLayout &control = frmMainLayout::Controls[i];
        SetWindowPos(controls_[i], nullptr, Scale(control.left, dpi), Scale(control.top, dpi),
                     Scale(control.width, dpi), Scale(control.height, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    font_ = std::move(font);
}

void MainWindow::SetCaption(const std::string &caption) {
    SetWindowTextW(window_.get(), Widen(caption).c_str());
}

std::string MainWindow::DatabaseFileText() { return Narrow(WindowText(databaseFile_)); }

void MainWindow::SetDatabaseFileText(const std::string &text) {
    SetWindowTextW(databaseFile_, Widen(text).c_str());
}

void MainWindow::OnCommand(int id) {
    // Once the program has ended no further event code runs, and while one
    // handler runs (inside its message box, say) no other starts.
    if (application_.Ended() || handlingCommand_) {
        return;
    }
    handlingCommand_ = true;
    struct Finished {
        bool &flag;
        ~Finished() { flag = false; }
    } finished{handlingCommand_};
    for (const Command &command : commands_) {
        if (command.id == id) {
            RunEvent(services_, [this, &command] { (form_.*command.handler)(); });
            return;
        }
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *created = static_cast<MainWindow *>(
            reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        created->window_.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto *self = reinterpret_cast<MainWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_.get() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        self->OnDestroyed();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

void MainWindow::OnDestroyed() {
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    // Windows destroys the window itself; the owner only lets go of it.
    window_.release();
    controls_.fill(nullptr);
    databaseFile_ = nullptr;
    renameButton_ = nullptr;
    focusOnDeactivate_ = nullptr;
    dialogs_.SetOwner(nullptr);
    application_.SetMainWindow(nullptr);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            OnCommand(LOWORD(wParam));
            return 0;
        }
        break;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CLOSE:
        // The close box ends the program; no handler of the form runs.
        application_.End(ExitCode::Normal);
        return 0;
    case WM_ACTIVATE:
        // Focus returns to the control that had it when the window comes back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            focusOnDeactivate_ = GetFocus();
        } else if (focusOnDeactivate_ != nullptr && IsChild(window, focusOnDeactivate_)) {
            SetFocus(focusOnDeactivate_);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Layout(HIWORD(wParam));
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
