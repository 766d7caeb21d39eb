// The window as it opens: caption, text box, styles and focus.

#include "E2eTest.h"
#include "LayoutExpectations.h"
#include "UserInput.h"
#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"

#include <cstdlib>

namespace {

using StartupTest = E2eTest;

TEST_F(StartupTest, CaptionNamesTheProductAndVersion) {
    TorvaneProcess torvane;
    EXPECT_EQ(MainWindowCaption, TextOf(torvane.Window()));
}

// What is stored under the Database value before the program starts.
enum class Stored { Nothing, EmptyText, MissingFile, HiddenFile, ExistingFile, IllegalName };
// What the text box shows once loaded.
enum class Shown { DefaultPath, StoredPath, Nothing };

struct LoadCase {
    const char *name;
    Stored stored;
    Shown shown;
};

const LoadCase LoadCases[] = {
    {"NoValueShowsTheDefault", Stored::Nothing, Shown::DefaultPath},
    {"EmptyValueShowsTheDefault", Stored::EmptyText, Shown::DefaultPath},
    {"MissingFileShowsNothing", Stored::MissingFile, Shown::Nothing},
    {"HiddenFileShowsNothing", Stored::HiddenFile, Shown::Nothing},
    {"ExistingFileShowsItsPath", Stored::ExistingFile, Shown::StoredPath},
    {"IllegalNameShowsNothing", Stored::IllegalName, Shown::Nothing},
};

class LoadTest : public E2eTest, public ::testing::WithParamInterface<LoadCase> {
protected:
    // Stores the case's value; gives the path stored, if any.
    std::wstring Store(Stored stored) const {
        std::wstring path;
        switch (stored) {
        case Stored::Nothing:
            return path;
        case Stored::EmptyText:
            break;
        case Stored::MissingFile:
            path = folder_ / L"Missing.mdb";
            break;
        case Stored::HiddenFile:
            path = MakeFile(L"Hidden.mdb", SampleBytes, FILE_ATTRIBUTE_HIDDEN);
            break;
        case Stored::ExistingFile:
            path = MakeFile(L"Stored.mdb");
            break;
        case Stored::IllegalName:
            path = L"C:\\bad<name>.mdb";
            break;
        }
        setting_.Store(path);
        return path;
    }

    static std::wstring Expected(Shown shown, const std::wstring &stored) {
        switch (shown) {
        case Shown::DefaultPath:
            return DefaultDatabase::Path;
        case Shown::StoredPath:
            return stored;
        case Shown::Nothing:
            break;
        }
        return L"";
    }
};

TEST_P(LoadTest, FillsTheTextBox) {
    // The default database is there in every case, so an empty box means the
    // stored path was taken and found wanting.
    defaultDatabase_.Create(SampleBytes);
    const std::wstring stored = Store(GetParam().stored);

    TorvaneProcess torvane;

    EXPECT_EQ(Expected(GetParam().shown, stored), DatabaseText(torvane));
    EXPECT_TRUE(IsWindowVisible(torvane.Window()));
}

INSTANTIATE_TEST_SUITE_P(Stored, LoadTest, ::testing::ValuesIn(LoadCases), CaseName());

struct StyleCase {
    const char *name;
    int index; // GWL_STYLE or GWL_EXSTYLE
    LONG bits;
    bool present;
};

// A fixed-size dialog-like frame with no taskbar button of its own.
const StyleCase StyleCases[] = {
    {"WS_CAPTION", GWL_STYLE, WS_CAPTION, true},
    {"WS_SYSMENU", GWL_STYLE, WS_SYSMENU, true},
    {"WS_THICKFRAME", GWL_STYLE, WS_THICKFRAME, false},
    {"WS_MINIMIZEBOX", GWL_STYLE, WS_MINIMIZEBOX, false},
    {"WS_MAXIMIZEBOX", GWL_STYLE, WS_MAXIMIZEBOX, false},
    {"WS_EX_DLGMODALFRAME", GWL_EXSTYLE, WS_EX_DLGMODALFRAME, true},
    {"WS_EX_APPWINDOW", GWL_EXSTYLE, WS_EX_APPWINDOW, false},
};

TEST_F(StartupTest, FrameIsFixedOwnedAndCentred) {
    TorvaneProcess torvane;
    HWND window = torvane.Window();
    for (const StyleCase &style : StyleCases) {
        const LONG bits = GetWindowLongW(window, style.index) & style.bits;
        EXPECT_EQ(style.present, bits == style.bits)
            << style.name << (style.present ? " missing" : " present") << "; styles 0x" << std::hex
            << GetWindowLongW(window, style.index);
    }
    // An owned window gets no taskbar button.
    EXPECT_NE(nullptr, GetWindow(window, GW_OWNER));

    RECT frame{};
    GetWindowRect(window, &frame);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs(frame.left - (screenWidth - frame.right)), 1)
        << "frame " << ToPixelRect(frame) << " on a screen of " << screenWidth;
    EXPECT_LE(std::abs(frame.top - (screenHeight - frame.bottom)), 1)
        << "frame " << ToPixelRect(frame) << " on a screen of " << screenHeight;
}

TEST_F(StartupTest, FocusStartsOnTheDefaultButtonAndTabCycles) {
    TorvaneProcess torvane;
    HWND rename = torvane.Control("cmdRename");
    EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongW(rename, GWL_STYLE) & BS_TYPEMASK);
    ASSERT_TRUE(WaitUntil([&] { return torvane.Focus() == rename; }))
        << "focus on " << ControlName(torvane.Focus());

    const std::vector<ControlLayout> order = TabOrder();
    for (std::size_t step = 1; step <= order.size(); ++step) {
        HWND expected = torvane.Control(order[step % order.size()].name);
        PressKey(torvane.Focus(), VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return torvane.Focus() == expected; }))
            << "after " << step << " tabs focus is on " << ControlName(torvane.Focus()) << ", not "
            << ControlName(expected);
    }
}

} // namespace
