#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include "gui/GUI_Utils.h"
#include "gui/Layout.h"
#include "base/ScopedWin.h"
#include "base/Strings.h"

// The list view owns its image list; one it lets go of is the caller's to destroy.
using ScopedImageList = ScopedHandle<HIMAGELIST, NullHandleTraits<HIMAGELIST, ::ImageList_Destroy>>;

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
    // Moves a control made by CreateControl by the same rules, in a new font: a window laid
    // out again for another resolution keeps its controls and what they hold.
    void PlaceControl(HWND control, const wchar_t* text, int32_t x, int32_t y, int32_t width, int32_t height,
                      HFONT font, LayoutColumn& column, const LayoutMargins& margins) const;

    // Gives the list view its small image list, one icon per kind of entry (101 to 105), so
    // that an entry's type code is its image index; the icons are 16 pixels at 96 dpi, scaled
    // for the resolution. Returns the previous image list.
    HIMAGELIST AttachTypeIcons(HWND listView, HINSTANCE instance, int32_t dpi = 96) const;
    // Inserts the columns of a "header,width,header,width,..." list, the widths being those
    // at 96 dpi, scaled for the resolution; false at the first insertion that fails.
    bool AddColumns(HWND listView, WideString columnSpec, int32_t dpi = 96) const;
    // Inserts one column at index, its width the one at 96 dpi scaled for the resolution.
    bool InsertColumn(HWND listView, int index, const wchar_t* heading, int32_t width, int32_t dpi) const;

protected:
    INITCOMMONCONTROLSEX commonControls;

private:
    // Where a control goes by the flow rules, with its size; may pull the column's cursor.
    RECT FlowPosition(const wchar_t* text, int32_t x, int32_t y, int32_t width, int32_t height, HFONT font,
                      LayoutColumn& column, const LayoutMargins& margins) const;
    // The column's bookkeeping once the control stands at placed.
    void Advance(HWND control, const RECT& placed, LayoutColumn& column, const LayoutMargins& margins) const;
};
