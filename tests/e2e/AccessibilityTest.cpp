// What a screen reader announces for each control. Windows names a text box
// after the label just before it in creation order, and a button after its
// caption without the mnemonic's ampersand; the driver checks those sources,
// since Wine's accessibility layer does not answer for another process's
// windows.

#include "E2eTest.h"
#include "LayoutExpectations.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"

#include <string>

namespace {

// A caption as spoken: "&&" stands for "&", a single "&" marks the mnemonic.
std::wstring WithoutMnemonic(const std::wstring &caption) {
    std::wstring spoken;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) {
            ++i;
        }
        spoken += caption[i];
    }
    return spoken;
}

// The name Windows gives a control: its label's text for a text box, its own
// caption for a button.
std::wstring AccessibleName(HWND control) {
    HWND source = control;
    if (HasClass(control, L"Edit")) {
        source = GetWindow(control, GW_HWNDPREV);
        if (source == nullptr || !HasClass(source, L"Static")) {
            return L"(no label before it; it was created after " + Widen(ControlName(source)) +
                   L")";
        }
    }
    return WithoutMnemonic(TextOf(source));
}

struct NameCase {
    const char *name;
    const char *control;
    const wchar_t *spoken;
};

const NameCase NameCases[] = {
    {"TextBoxByItsLabel", "txtDatabaseFile", L"Database to be renamed:"},
    {"RenameButton", "cmdRename", L"Rename Database"},
    {"BrowseButton", "cmdBrowse", L"Browse"},
    {"CancelButton", "cmdCancel", L"Cancel"},
};

class AccessibleNameTest : public E2eTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(AccessibleNameTest, IsWhatTheUserSees) {
    TorvaneProcess torvane;
    EXPECT_EQ(GetParam().spoken, AccessibleName(torvane.Control(GetParam().control)));
}

INSTANTIATE_TEST_SUITE_P(Named, AccessibleNameTest, ::testing::ValuesIn(NameCases), CaseName());

} // namespace
