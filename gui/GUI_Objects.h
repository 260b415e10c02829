#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include "gui/GUI_Utils.h"
#include "gui/Layout.h"
#include "base/Strings.h"

// The control factory of both windows, and the address list view's setup. Constructing
// one initialises the common controls the windows use.
class GUI_Objects : public GUI_Utils {
public:
    GUI_Objects();

    // Creates a child control, gives it the font and places it in the column. x, y, width
    // and height may be LAYOUT_AUTO; text may be null (measured as a sample text then).
    HWND CreateControl(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int32_t x,
                       int32_t y, int32_t width, int32_t height, HWND parent, UINT_PTR id, HINSTANCE instance,
                       void* createParam, HFONT font, LayoutColumn& column,
                       const LayoutMargins& margins) const;

    // Gives the list view its small image list, one icon per kind of entry (101 to 105), so
    // that an entry's type code is its image index. Returns the previous image list.
    HIMAGELIST AttachTypeIcons(HWND listView, HINSTANCE instance) const;
    // Inserts the columns of a "header,width,header,width,..." list; false at the first
    // insertion that fails.
    bool AddColumns(HWND listView, WideString columnSpec) const;

protected:
    INITCOMMONCONTROLSEX commonControls;
};
