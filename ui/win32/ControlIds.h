#pragma once

#include "ui/frmMainLayout.h"

#include <windows.h>

// The child-window id of each control of the main window. The default and
// cancel buttons take IDOK and IDCANCEL, so Enter and Esc reach them through
// the dialog manager.
inline int ControlId(const ControlLayout &control) {
    switch (control.role) {
    case ButtonRole::Default:
        return IDOK;
    case ButtonRole::Cancel:
        return IDCANCEL;
    case ButtonRole::None:
        break;
    }
    return 1000 + control.tabIndex;
}

// The id of the control with this name in the layout table.
inline int ControlIdOf(std::string_view name) {
    for (const ControlLayout &control : frmMainLayout::Controls) {
        if (control.name == name) {
            return ControlId(control);
        }
    }
    return 0;
}
