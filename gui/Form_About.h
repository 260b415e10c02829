#pragma once
#include <windows.h>
#include "base/ScopedWin.h"
#include "gui/GUI_Objects.h"

// The modal About box: the picture with the maker's web address under it as a link, and
// the version, notice, license caption, disclaimer and OK button beside it. The dialog
// resource is an empty shell; every control is built in code and the window sized to fit.
class Form_About : public GUI_Objects {
public:
    Form_About() = default;
    virtual ~Form_About() = default;
    Form_About(const Form_About&) = delete;
    Form_About& operator=(const Form_About&) = delete;

    // Shows the box modally over owner; 1 after OK, 0 after Escape or the close box.
    INT_PTR Run(HINSTANCE instance, HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the fonts, the picture and the controls for the box's resolution; done again,
    // from nothing, when the box moves to a monitor of another one.
    void BuildControls();
    void OnDpiChanged(int32_t newDpi, const RECT& suggested);
    INT_PTR OnCommand(WORD id);
    INT_PTR OnSetCursor();
    void OnKeyDown(WORD key);
    // The box's keys reach it from whichever of its controls has the focus.
    static LRESULT CALLBACK ControlKeys(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    void SetShowState(int showCommand);

    ScopedGdiObj<HBITMAP> logoBitmap;
    HWND logoStatic = nullptr;
    HWND linkStatic = nullptr;
    HWND versionStatic = nullptr;
    HWND noticeStatic = nullptr;
    HWND termsCaption = nullptr;
    HWND disclaimerFrame = nullptr;
    HWND disclaimerStatic = nullptr;
    HWND separatorLine = nullptr;
    HWND okButton = nullptr;
    HWND window = nullptr;
    HWND owner = nullptr;
    ScopedGdiObj<HFONT> font;
    ScopedGdiObj<HFONT> linkFont;
    HINSTANCE instance = nullptr;
    LOGFONTW logFont = {};
    int32_t dpi = 96;
};
