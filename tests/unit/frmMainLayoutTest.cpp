#include "ui/frmMainLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ControlLayout Make(std::string_view name, ControlKind kind, int tabIndex) {
    return {name, kind, "", 0, 0, 0, 0, tabIndex, ButtonRole::None};
}

template <std::size_t N>
std::vector<std::string_view> NamesInCreationOrder(const std::array<ControlLayout, N> &controls) {
    std::vector<std::string_view> names;
    for (const std::size_t i : frmMainLayout::CreationOrderOf(controls)) {
        names.push_back(controls[i].name);
    }
    return names;
}

TEST(frmMainLayoutTest, FocusFollowsTabIndexAndEachLabelComesJustBeforeWhatItNames) {
    EXPECT_EQ((std::vector<std::string_view>{"Label1", "Label2", "cmdRename", "Label3",
                                             "txtDatabaseFile", "cmdBrowse", "cmdCancel"}),
              NamesInCreationOrder(frmMainLayout::Controls));

    // A table listed out of tab order still gives the tab order.
    const std::array<ControlLayout, 6> shuffled{{
        Make("lblName", ControlKind::Label, 0),
        Make("cmdLast", ControlKind::CommandButton, 5),
        Make("lblPath", ControlKind::Label, 1),
        Make("txtPath", ControlKind::TextBox, 2),
        Make("cmdFirst", ControlKind::CommandButton, 1),
        Make("lblNothing", ControlKind::Label, 9),
    }};
    EXPECT_EQ((std::vector<std::string_view>{"cmdFirst", "lblPath", "txtPath", "lblName", "cmdLast",
                                             "lblNothing"}),
              NamesInCreationOrder(shuffled));
}

} // namespace
