#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>
#include "gui/GApplication.h"
#include "base/Strings.h"

// Stateless window helpers shared by both windows: text measuring in a font, the system
// message font, the screen's resolution, DPI-dependent pictures, placement and show state,
// and the small text parsing the list view's column list needs. UI thread only.
class GUI_Utils : public GApplication {
public:
    // Extent of the text as one line in the font, measured on the screen.
    int32_t MeasureTextWidth(const WideString& text, HFONT font) const;
    int32_t MeasureTextHeight(const WideString& text, HFONT font) const;
    // Height of the text wrapped at words within width, as a plain static control wraps it.
    int32_t MeasureWrappedTextHeight(const WideString& text, HFONT font, int32_t width) const;
    // The system's message font; logFont receives its description. The caller owns the font.
    HFONT CreateMessageFont(LOGFONTW& logFont) const;
    int32_t GetScreenDpi() const;
    // Bitmap id + 1 on a screen above 96 dpi (id itself if that is missing), else id.
    // The caller owns the bitmap; info receives its size.
    HBITMAP LoadDpiBitmap(HINSTANCE instance, uint16_t id, BITMAP& info) const;
    // Centres the window (x and y both 0) or moves it into the monitor's work area.
    BOOL PlaceInWorkArea(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                         int32_t showCommand, bool show) const;
    // showCmd of the window's placement (SW_SHOWMAXIMIZED when maximised).
    int32_t GetShowState(HWND window) const;

    // Fields between delimiters; no trailing empty field, none at all for an empty text.
    void SplitText(WideString text, WideString delimiter, std::vector<WideString>& out) const;
    // Leading decimal number of the text (wcstol, base 10); 0 without digits.
    int32_t ParseInt(const WideString& text) const;
};
