// The window's geometry and font at the screen's DPI: every control at its
// designed rectangle, converted from twips, and text in the dialog font
// sized for that DPI.

#include "DisplayDpi.h"
#include "E2eTest.h"
#include "LayoutExpectations.h"
#include "UserInput.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"

#include <string>

namespace {

class LayoutTest : public E2eTest, public ::testing::WithParamInterface<int> {
protected:
    LayoutTest() : displayDpi_(static_cast<DWORD>(GetParam())) {}

    DisplayDpi displayDpi_;
};

TEST_P(LayoutTest, ClientAreaAndControlsMatchTheLayout) {
    // Nothing to show, so the text box holds its designed (empty) text.
    TorvaneProcess torvane;
    const int dpi = GetParam();

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
TEST_P(LayoutTest, TextBoxDrawsInTheDialogFont) {
    const std::wstring sample = L"Quorvex Database";
    TorvaneProcess torvane;
    HWND textBox = torvane.Control("txtDatabaseFile");
    TypeText(textBox, sample);

    const auto xOf = [&](std::size_t index) {
        return static_cast<int>(
            static_cast<short>(LOWORD(SendBounded(textBox, EM_POSFROMCHAR, index, 0))));
    };
    const std::size_t last = sample.size() - 1;
    const int expected = WidthInDialogFont(sample.substr(0, last), GetParam());
    EXPECT_GT(expected, 0);
    EXPECT_EQ(expected, xOf(last) - xOf(0));
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutTest, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int> &dpi) {
                             return "At" + std::to_string(dpi.param);
                         });

} // namespace
