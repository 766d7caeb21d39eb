#pragma once

// What the layout table says the main window looks like, in the terms the
// driver can see from outside: pixels, window classes and names.

#include "ui/frmMainLayout.h"

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    bool operator==(const PixelRect &other) const {
        return left == other.left && top == other.top && width == other.width &&
               height == other.height;
    }
};
std::ostream &operator<<(std::ostream &out, const PixelRect &rect);

PixelRect ToPixelRect(const RECT &rect);
// Where the control belongs at dpi, as the table gives it in twips.
PixelRect ExpectedRect(const ControlLayout &control, int dpi);
// The window class that shows each kind of control.
std::wstring ExpectedClass(ControlKind kind);
// The controls that take the focus, in tab order.
std::vector<ControlLayout> TabOrder();
// The name in the table of the control with this window, for messages.
std::string ControlName(HWND control);
