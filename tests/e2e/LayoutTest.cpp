// The window's geometry and font at the screen's DPI, and after a move to a
// monitor with another: every control at its designed rectangle, converted
// from twips, and text in the dialog font sized for that DPI.

#include "DisplayDpi.h"
#include "E2eTest.h"
#include "LayoutExpectations.h"
#include "UserInput.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"

#include <stdexcept>
#include <string>

namespace {

class LayoutTest : public E2eTest, public ::testing::WithParamInterface<int> {
protected:
    LayoutTest() : displayDpi_(static_cast<DWORD>(GetParam())) {}

    DisplayDpi displayDpi_;
};

// Expects the client area and every control where the layout puts them at dpi.
void ExpectLayoutAt(const TorvaneProcess &torvane, int dpi) {
    RECT client{};
    GetClientRect(torvane.Window(), &client);
    EXPECT_EQ(frmMainLayout::TwipsToPixels(frmMainLayout::Form.clientWidth, dpi), client.right);
    EXPECT_EQ(frmMainLayout::TwipsToPixels(frmMainLayout::Form.clientHeight, dpi), client.bottom);

    for (const ControlLayout &layout : frmMainLayout::Controls) {
        SCOPED_TRACE(std::string(layout.name));
        HWND control = torvane.Control(layout.name);
        ASSERT_NE(nullptr, control);
        EXPECT_EQ(ExpectedRect(layout, dpi), ToPixelRect(RectInParent(control)));
        EXPECT_TRUE(HasClass(control, ExpectedClass(layout.kind))) << Narrow(ClassOf(control));
        EXPECT_EQ(Widen(std::string(layout.caption)), TextOf(control));
    }
}

// The dialog font Windows dialogs draw with (DS_SHELLFONT): "MS Shell Dlg"
// at 8 points, in pixels for dpi.
LOGFONTW DialogFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(8, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"MS Shell Dlg");
    return font;
}

// How wide text is in the dialog font at dpi, in pixels.
int WidthInDialogFont(const std::wstring &text, int dpi) {
    const LOGFONTW dialogFont = DialogFont(dpi);
    const unique_hfont font(CreateFontIndirectW(&dialogFont));
    HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font.get());
    SIZE extent{};
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return extent.cx;
}

// Where the text box places each character shows the font it draws with.
// Font handles cannot be compared instead: WM_GETFONT is not answered
// across processes under Wine, and a handle means nothing outside its own.
void ExpectDialogFontAt(const TorvaneProcess &torvane, int dpi) {
    const std::wstring sample = L"Quorvex Database";
    HWND textBox = torvane.Control("txtDatabaseFile");
    TypeText(textBox, sample);

    const auto xOf = [&](std::size_t index) {
        return static_cast<int>(
            static_cast<short>(LOWORD(SendBounded(textBox, EM_POSFROMCHAR, index, 0))));
    };
    const std::size_t last = sample.size() - 1;
    const int expected = WidthInDialogFont(sample.substr(0, last), dpi);
    EXPECT_GT(expected, 0);
    EXPECT_EQ(expected, xOf(last) - xOf(0));
}

TEST_P(LayoutTest, ClientAreaAndControlsMatchTheLayout) {
    // Nothing to show, so the text box holds its designed (empty) text.
    TorvaneProcess torvane;
    ExpectLayoutAt(torvane, GetParam());
}

TEST_P(LayoutTest, TextBoxDrawsInTheDialogFont) {
    TorvaneProcess torvane;
    ExpectDialogFontAt(torvane, GetParam());
}

// A copy of a rectangle in another process's memory, for a message whose
// lParam points to one: the system does not carry it across for the sender.
class RemoteRect {
public:
    RemoteRect(HANDLE process, const RECT &rect)
        : process_(process), address_(VirtualAllocEx(process, nullptr, sizeof rect,
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
        if (address_ == nullptr ||
            !WriteProcessMemory(process, address_, &rect, sizeof rect, nullptr)) {
            throw std::runtime_error("cannot place a rectangle in the program's memory");
        }
    }
    RemoteRect(const RemoteRect &) = delete;
    RemoteRect &operator=(const RemoteRect &) = delete;
    ~RemoteRect() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }

    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }

private:
    HANDLE process_;
    void *address_;
};

// What Windows sends when the window moves to a monitor with another DPI:
// the new DPI and a suggested frame, here the old one scaled in place.
void MoveToMonitorAt(const TorvaneProcess &torvane, int dpi, int oldDpi) {
    RECT frame{};
    GetWindowRect(torvane.Window(), &frame);
    frame.right = frame.left + MulDiv(frame.right - frame.left, dpi, oldDpi);
    frame.bottom = frame.top + MulDiv(frame.bottom - frame.top, dpi, oldDpi);
    const RemoteRect suggested(torvane.Process(), frame);
    SendBounded(torvane.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), suggested.Address());
}

using DpiChangeTest = E2eTest;

TEST_F(DpiChangeTest, WindowFollowsAMoveToAMonitorAt144Dpi) {
    const DisplayDpi startDpi(96);
    TorvaneProcess torvane;
    MoveToMonitorAt(torvane, 144, 96);
    ExpectLayoutAt(torvane, 144);
    ExpectDialogFontAt(torvane, 144);
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int> &dpi) {
                             return "At" + std::to_string(dpi.param);
                         });

} // namespace
