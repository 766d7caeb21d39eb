// The Browse command and its open-file dialog, by mouse and by mnemonic.

#include "E2eTest.h"
#include "UserInput.h"
#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/WideText.h"

namespace {

// The open-file dialog's own controls.
constexpr int FileNameBoxId = 0x47C;
constexpr int FileTypeBoxId = 0x470;

// The edit control inside the file name box, where a name is typed.
HWND FileNameField(HWND dialog) {
    return DescendantOfClass(GetDlgItem(dialog, FileNameBoxId), L"Edit");
}

struct BrowseCase {
    const char *name;
    void (*browse)(const TorvaneProcess &torvane);
};

const BrowseCase BrowseCases[] = {
    {"Click", [](const TorvaneProcess &torvane) { Click(torvane.Control("cmdBrowse")); }},
    {"AltB", [](const TorvaneProcess &torvane) { PressAltKey(torvane.Focus(), L'b'); }},
};

class BrowseTest : public E2eTest, public ::testing::WithParamInterface<BrowseCase> {
protected:
    // Opens the dialog the way the case does.
    HWND OpenDialog(const TorvaneProcess &torvane) const {
        EXPECT_TRUE(WaitUntil([&] { return torvane.Focus() != nullptr; }))
            << "nothing has the focus";
        GetParam().browse(torvane);
        return torvane.WaitForOpenDialog();
    }

    // Presses one of the dialog's buttons and waits until it has gone.
    static void Press(HWND dialog, int buttonId) {
        Click(GetDlgItem(dialog, buttonId));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }))
            << "the dialog stays: " << Describe(dialog);
    }

    // Chooses a file by typing name into the dialog; the text box must then
    // show chosen.
    void ExpectChosen(const std::wstring &name, const std::wstring &chosen) const {
        TorvaneProcess torvane;
        HWND dialog = OpenDialog(torvane);

        TypeText(FileNameField(dialog), name);
        Press(dialog, IDOK);

        EXPECT_TRUE(WaitUntil([&] { return DatabaseText(torvane) == chosen; }))
            << "the text box shows " << Narrow(DatabaseText(torvane));
        ExpectStillOpen(torvane, chosen);
    }

    void SetUp() override {
        stored_ = MakeFile(L"Stored.mdb");
        setting_.Store(stored_);
    }

    std::wstring stored_;
};

TEST_P(BrowseTest, ShowsTheDialogAndCancelKeepsTheText) {
    TorvaneProcess torvane;
    ASSERT_EQ(stored_, DatabaseText(torvane));
    HWND dialog = OpenDialog(torvane);

    EXPECT_EQ(torvane.Window(), GetWindow(dialog, GW_OWNER));
    HWND fileType = GetDlgItem(dialog, FileTypeBoxId);
    EXPECT_TRUE(HasClass(fileType, L"ComboBox")) << Describe(fileType);
    EXPECT_EQ(L"Database Files (*.mdb)", TextOf(fileType));
    ASSERT_NE(nullptr, FileNameField(dialog)) << Describe(GetDlgItem(dialog, FileNameBoxId));
    // The dialog opens in the preset's folder and shows the name alone.
    EXPECT_EQ(stored_.substr(stored_.find_last_of(L'\\') + 1), TextOf(FileNameField(dialog)));

    Press(dialog, IDCANCEL);
    ExpectStillOpen(torvane, stored_);
}

TEST_P(BrowseTest, OpenTakesATypedFullPath) {
    const std::wstring chosen = MakeFile(L"Chosen.mdb");
    ExpectChosen(chosen, chosen);
}

TEST_P(BrowseTest, OpenTakesABareNameFromThePresetFolder) {
    ExpectChosen(L"Chosen.mdb", MakeFile(L"Chosen.mdb"));
}

INSTANTIATE_TEST_SUITE_P(By, BrowseTest, ::testing::ValuesIn(BrowseCases), CaseName());

} // namespace
