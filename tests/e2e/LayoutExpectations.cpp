#include "LayoutExpectations.h"

#include "ui/win32/ControlIds.h"

#include <algorithm>
#include <iterator>

std::ostream &operator<<(std::ostream &out, const PixelRect &rect) {
    return out << "(" << rect.left << ", " << rect.top << ") " << rect.width << "x" << rect.height;
}

PixelRect ToPixelRect(const RECT &rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

PixelRect ExpectedRect(const ControlLayout &control, int dpi) {
    using frmMainLayout::TwipsToPixels;
    return {TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi),
            TwipsToPixels(control.width, dpi), TwipsToPixels(control.height, dpi)};
}

std::wstring ExpectedClass(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return L"Static";
    case ControlKind::TextBox:
        return L"Edit";
    case ControlKind::CommandButton:
        break;
    }
    return L"Button";
}

std::vector<ControlLayout> TabOrder() {
    std::vector<ControlLayout> order;
    std::copy_if(frmMainLayout::Controls.begin(), frmMainLayout::Controls.end(),
                 std::back_inserter(order),
                 [](const ControlLayout &control) { return control.kind != ControlKind::Label; });
    std::sort(order.begin(), order.end(), [](const ControlLayout &a, const ControlLayout &b) {
        return a.tabIndex < b.tabIndex;
    });
    return order;
}

std::string ControlName(HWND control) {
    if (control == nullptr) {
        return "(no control)";
    }
    const int id = GetDlgCtrlID(control);
    for (const ControlLayout &layout : frmMainLayout::Controls) {
        if (ControlId(layout) == id) {
            return std::string(layout.name);
        }
    }
    return "(window with id " + std::to_string(id) + ")";
}
