// Opens the real main window with the real services and measures, from
// inside the process, each label's text in the font the label draws with,
// wrapped to the label's width as the label wraps it. WM_GETFONT is not
// answered from another process under Wine, so the end-to-end test starts
// this program at each DPI and reads its verdict: one line per label, and
// exit code 0 when every label takes its designed lines and fits its box.

#include "app/modMain.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemFolders.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/MainWindow.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct LabelLines {
    std::string_view name;
    int lines;
};

// How many lines each label's text was designed to take.
constexpr std::array<LabelLines, 3> DesignedLines{{{"Label1", 2}, {"Label2", 1}, {"Label3", 1}}};

// A control's device context with the control's own font selected, as the
// control paints with it.
class ControlDc {
public:
    explicit ControlDc(HWND control)
        : control_(control), dc_(GetDC(control)),
          previous_(SelectObject(
              dc_, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)))) {}
    ControlDc(const ControlDc &) = delete;
    ControlDc &operator=(const ControlDc &) = delete;
    ~ControlDc() {
        SelectObject(dc_, previous_);
        ReleaseDC(control_, dc_);
    }

    HDC Get() const { return dc_; }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ previous_;
};

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The family of the font a face name was mapped to, as the font file names
// it: "MS Shell Dlg" is a name that Windows and Wine map to a real font.
std::wstring FamilyOf(HDC dc) {
    const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    if (size == 0) {
        return L"a bitmap font";
    }
    std::vector<BYTE> buffer(size);
    auto *metrics = reinterpret_cast<OUTLINETEXTMETRICW *>(buffer.data());
    GetOutlineTextMetricsW(dc, size, metrics);
    return reinterpret_cast<const wchar_t *>(buffer.data() +
                                             reinterpret_cast<UINT_PTR>(metrics->otmpFamilyName));
}

// Measures one label and prints what it found; true when the text takes the
// designed lines and fits inside the label's client area.
bool LabelFits(HWND window, const LabelLines &label) {
    HWND control = GetDlgItem(window, ControlIdOf(label.name));
    if (control == nullptr || SendMessageW(control, WM_GETFONT, 0, 0) == 0) {
        std::printf("%s: no such label, or it has no font of its own\n", label.name.data());
        return false;
    }
    RECT client{};
    GetClientRect(control, &client);
    const ControlDc dc(control);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc.Get(), LF_FACESIZE, face);
    const std::wstring drawnIn = FamilyOf(dc.Get());

    // The flags a left-aligned static control draws its text with.
    const std::wstring text = TextOf(control);
    RECT needed{0, 0, client.right, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
    const int lines = metrics.tmHeight > 0 ? needed.bottom / metrics.tmHeight : 0;
    const bool fits =
        lines == label.lines && needed.right <= client.right && needed.bottom <= client.bottom;
    std::printf("%s: %ld x %ld px in %s (drawn in %s), %d line%s (designed: %d), box %ld x %ld "
                "px: %s\n",
                label.name.data(), needed.right, needed.bottom, Narrow(face).c_str(),
                Narrow(drawnIn).c_str(), lines, lines == 1 ? "" : "s", label.lines, client.right,
                client.bottom, fits ? "fits" : "does not fit");
    return fits;
}

} // namespace

int main() {
    Win32Registry registry;
    Win32AnsiCodePage codePage;
    Win32FileSystem files;
    Win32Dialogs dialogs("Torvane");
    Win32Application application;
    Win32SystemFolders folders;
    const PlatformServices services{registry, codePage, files, dialogs, application, folders};
    const ProgramSettingsLifetime settingsLifetime;

    bool allFit = false;
    RunEvent(services, [&] {
        MainWindow window(services, application, dialogs);
        window.Open(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE);
        if (application.Ended()) {
            std::printf("the window ended while it loaded\n");
            return;
        }
        HDC screen = GetDC(nullptr);
        std::printf("screen at %d DPI\n", GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
        allFit = true;
        for (const LabelLines &label : DesignedLines) {
            allFit = LabelFits(window.Handle(), label) && allFit;
        }
    });
    std::fflush(stdout);
    return allFit ? 0 : 1;
}
