#include <algorithm>
#include "gui/GUI_Objects.h"

namespace {
// Measured in place of a missing text, so a control without one still gets a size.
const wchar_t kSampleText[] = L"AA bb CC";
} // namespace

GUI_Objects::GUI_Objects() {
    commonControls.dwSize = sizeof(commonControls);
    commonControls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&commonControls);
}

RECT GUI_Objects::FlowPosition(const wchar_t* text, int32_t x, int32_t y, int32_t width, int32_t height,
                               HFONT font, LayoutColumn& column, const LayoutMargins& margins) const {
    const WideString measured = text ? text : kSampleText;
    if (width == LAYOUT_AUTO)
        width = MeasureTextWidth(measured, font);
    if (height == LAYOUT_AUTO)
        height = MeasureTextHeight(measured, font);

    if (y == LAYOUT_AUTO) {
        y = column.nextY + margins.top;
    } else {
        y += margins.top;
        // An explicit y below the cursor pulls the cursor down to the control's bottom
        // before the ordinary advance, so its top margin and height count twice; the About
        // box's height is built on this.
        if (y > column.nextY && column.nextY != 0)
            column.nextY = y + height;
    }
    x = x == LAYOUT_AUTO ? column.left + margins.left : x + margins.left;
    return {x, y, x + width, y + height};
}

void GUI_Objects::Advance(HWND control, const RECT& placed, LayoutColumn& column,
                          const LayoutMargins& margins) const {
    // The client size, not the size asked for: a border makes it smaller, and a control
    // that could not be made counts as 0 by 0.
    RECT client = {};
    if (control)
        ::GetClientRect(control, &client);
    column.lastHeight = client.bottom;
    if (column.top == 0)
        column.top = placed.top;
    if (column.left == 0)
        column.left = placed.left;
    column.maxWidth = std::max<int32_t>(column.maxWidth, client.right + margins.left + margins.right);
    column.nextY += margins.top + margins.bottom + client.bottom;
}

HWND GUI_Objects::CreateControl(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                                int32_t x, int32_t y, int32_t width, int32_t height, HWND parent, UINT_PTR id,
                                HINSTANCE instance, void* createParam, HFONT font, LayoutColumn& column,
                                const LayoutMargins& margins) const {
    const RECT r = FlowPosition(text, x, y, width, height, font, column, margins);
    HWND control =
        ::CreateWindowExW(exStyle, className, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          parent, reinterpret_cast<HMENU>(id), instance, createParam);
    if (control)
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    Advance(control, r, column, margins);
    return control;
}

void GUI_Objects::PlaceControl(HWND control, const wchar_t* text, int32_t x, int32_t y, int32_t width,
                               int32_t height, HFONT font, LayoutColumn& column,
                               const LayoutMargins& margins) const {
    const RECT r = FlowPosition(text, x, y, width, height, font, column, margins);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(control, nullptr, TRUE);
    Advance(control, r, column, margins);
}
