#pragma once

// The main window as designed: one table that both the window builder and
// the tests read. Measurements are twips from the client area's top left.

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

enum class ControlKind { Label, CommandButton, TextBox };
enum class ButtonRole { None, Default, Cancel };

struct ControlLayout {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
    ButtonRole role;
};

struct FormLayout {
    std::string_view designCaption;
    int clientWidth;
    int clientHeight;
};

namespace frmMainLayout {

constexpr FormLayout Form{"Rename Quorvex Database", 8010, 2475};

// In creation order: each label comes just before the control it names, so
// accessibility tools pair them; focus still follows tabIndex.
constexpr std::array<ControlLayout, 7> Controls{{
    {"Label1", ControlKind::Label,
     "This utility will rename the Quorvex database to allow Quorvex Basic to be installed on "
     "a machine that had Quorvex Advanced previously installed.",
     60, 60, 7875, 435, 0, ButtonRole::None},
    {"Label2", ControlKind::Label,
     "Run this utility to rename the database before installing Quorvex Basic.", 60, 600, 5175, 255,
     1, ButtonRole::None},
    {"cmdRename", ControlKind::CommandButton, "Rename Database", 6060, 1740, 1815, 555, 2,
     ButtonRole::Default},
    {"Label3", ControlKind::Label, "Database to be renamed:", 60, 960, 3495, 255, 4,
     ButtonRole::None},
    {"txtDatabaseFile", ControlKind::TextBox, "", 60, 1200, 6795, 285, 3, ButtonRole::None},
    {"cmdBrowse", ControlKind::CommandButton, "&Browse", 6900, 1200, 975, 315, 5, ButtonRole::None},
    {"cmdCancel", ControlKind::CommandButton, "Cancel", 4020, 1740, 1815, 555, 6,
     ButtonRole::Cancel},
}};

// The order to create controls in, which is the order focus moves in: the
// controls that take focus by tabIndex, each preceded by the labels that
// stand just before it in the table, since a label names the control
// created after it.
template <std::size_t N>
std::array<std::size_t, N> CreationOrderOf(const std::array<ControlLayout, N> &controls) {
    std::array<std::size_t, N> focusable{};
    std::size_t focusableCount = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (controls[i].kind != ControlKind::Label) {
            focusable[focusableCount++] = i;
        }
    }
    std::stable_sort(
        focusable.begin(), focusable.begin() + focusableCount,
        [&](std::size_t a, std::size_t b) { return controls[a].tabIndex < controls[b].tabIndex; });
    std::array<std::size_t, N> order{};
    std::array<bool, N> placed{};
    std::size_t count = 0;
    const auto place = [&](std::size_t i) {
        order[count++] = i;
        placed[i] = true;
    };
    for (std::size_t f = 0; f < focusableCount; ++f) {
        std::size_t first = focusable[f];
        while (first > 0 && controls[first - 1].kind == ControlKind::Label && !placed[first - 1]) {
            --first;
        }
        for (std::size_t i = first; i <= focusable[f]; ++i) {
            place(i);
        }
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (!placed[i]) {
            place(i); // labels that name nothing
        }
    }
    return order;
}

inline std::array<std::size_t, Controls.size()> CreationOrder() {
    return CreationOrderOf(Controls);
}

// Twips to pixels at the given DPI, rounded as MulDiv rounds.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long product = static_cast<long long>(twips) * dpi;
    return static_cast<int>((product + (product >= 0 ? 720 : -720)) / 1440);
}

} // namespace frmMainLayout
