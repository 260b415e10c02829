#pragma once
#include <windows.h>
#include "base/ScopedWin.h"
#include "directory/ColumnCatalogue.h"
#include "gui/GUI_Objects.h"

// The modal "Columns" box: one check box per directory detail, in the catalogue's order,
// with OK and Cancel. The dialog resource is an empty shell; the controls are built in code
// and the window sized to fit, at the resolution of the monitor it is on.
class Form_Columns : public GUI_Objects {
public:
    Form_Columns() = default;
    virtual ~Form_Columns() = default;
    Form_Columns(const Form_Columns&) = delete;
    Form_Columns& operator=(const Form_Columns&) = delete;

    // Shows the box modally over owner with the boxes of chosen checked. After OK, chosen
    // holds the checked ones and the result is true; Escape, Cancel and the close box leave
    // it. With listShown the box says that the choice waits for the next Connect.
    bool Run(HINSTANCE instance, HWND owner, details::DetailSet& chosen, bool listShown);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the font and the controls for the box's resolution, the boxes checked as
    // `checked` says, and sizes the box; done again when it moves to another resolution.
    void BuildControls();
    void OnDpiChanged(int32_t newDpi, const RECT& suggested);
    details::DetailSet CheckedBoxes() const;

    HWND boxes[details::kCount] = {};
    HWND window = nullptr;
    HWND owner = nullptr;
    ScopedGdiObj<HFONT> font;
    HINSTANCE instance = nullptr;
    LOGFONTW logFont = {};
    int32_t dpi = 96;
    details::DetailSet checked = 0;
    bool listShown = false;
};
