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
    // The message font as the system makes it for a monitor of that resolution.
    HFONT CreateMessageFont(LOGFONTW& logFont, int32_t dpi) const;
    int32_t GetScreenDpi() const;
    // The resolution of the monitor the window is on, or of that monitor; the system's
    // where Windows knows only one.
    int32_t GetWindowDpi(HWND window) const;
    int32_t GetMonitorDpi(HMONITOR monitor) const;
    // A size laid out for 96 dpi, at that resolution.
    int32_t ScaleForDpi(int32_t pixels, int32_t dpi) const;
    // A top-level window's size laid out for 96 dpi, at that resolution: its client area
    // scaled, with the frame the system draws there.
    SIZE ScaleWindowSize(int32_t width, int32_t height, DWORD style, bool menu, int32_t dpi) const;
    // The monitor the program was started on: the one the shell names, else the one under
    // the cursor.
    HMONITOR GetStartupMonitor() const;
    // Bitmap id + 1 on a screen above 96 dpi (id itself if that is missing), else id.
    // The caller owns the bitmap; info receives its size.
    HBITMAP LoadDpiBitmap(HINSTANCE instance, uint16_t id, BITMAP& info) const;
    // The same for a window of that resolution; above 120 dpi the picture is stretched to it.
    HBITMAP LoadDpiBitmap(HINSTANCE instance, uint16_t id, BITMAP& info, int32_t dpi) const;
    // Centres the window (x and y both 0) in the work area of the monitor the program was
    // started on, or moves it into the work area of the monitor the rectangle is on.
    BOOL PlaceInWorkArea(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                         int32_t showCommand, bool show) const;
    // showCmd of the window's placement (SW_SHOWMAXIMIZED when maximised).
    int32_t GetShowState(HWND window) const;

    // Fields between delimiters; no trailing empty field, none at all for an empty text.
    void SplitText(WideString text, WideString delimiter, std::vector<WideString>& out) const;
    // Leading decimal number of the text (wcstol, base 10); 0 without digits.
    int32_t ParseInt(const WideString& text) const;
};
