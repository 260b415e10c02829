// Resolution per monitor. The calls that know it came with Windows 8.1 (shcore) and
// Windows 10 1607 (user32): they are looked up at run time, so the program still starts on
// Windows 7, where every monitor has the system's resolution.
#include <cstddef>
#include "base/ScopedWin.h"
#include "gui/GUI_Utils.h"

namespace {

constexpr int32_t kBaseDpi = 96;

template <typename Function> Function Lookup(const wchar_t* module, const char* name) {
    HMODULE loaded = ::GetModuleHandleW(module);
    if (!loaded)
        loaded = ::LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(loaded, name)))
                  : nullptr;
}

int32_t SystemDpi() {
    ScopedGetDC screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kBaseDpi;
}

} // namespace

int32_t GUI_Utils::ScaleForDpi(int32_t pixels, int32_t dpi) const {
    return ::MulDiv(pixels, dpi, kBaseDpi);
}

int32_t GUI_Utils::GetMonitorDpi(HMONITOR monitor) const {
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = Lookup<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    // 0 is MDT_EFFECTIVE_DPI: the scale the user chose for that monitor.
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0, &x, &y)) && y > 0)
        return static_cast<int32_t>(y);
    return SystemDpi();
}

int32_t GUI_Utils::GetWindowDpi(HWND window) const {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = Lookup<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int32_t>(dpi);
    }
    return GetMonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

HFONT GUI_Utils::CreateMessageFont(LOGFONTW& logFont, int32_t dpi) const {
    using ForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto forDpi = Lookup<ForDpiFunction>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, static_cast<UINT>(dpi))) {
        logFont = metrics.lfMessageFont;
        return ::CreateFontIndirectW(&logFont);
    }
    // Before Windows 10 the metrics are those of the system's resolution: scaled from it.
    ScopedGdiObj<HFONT> system(CreateMessageFont(logFont));
    logFont.lfHeight = ::MulDiv(logFont.lfHeight, dpi, SystemDpi());
    return ::CreateFontIndirectW(&logFont);
}

HMONITOR GUI_Utils::GetStartupMonitor() const {
    // The shell names the monitor to open on in hStdOutput when no standard handles are
    // passed (a start from the taskbar or a shortcut on a second monitor).
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    if (!(startup.dwFlags & STARTF_USESTDHANDLES) && startup.hStdOutput) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        auto* named = reinterpret_cast<HMONITOR>(startup.hStdOutput);
        if (::GetMonitorInfoW(named, &info))
            return named;
    }
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    return ::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
}

SIZE GUI_Utils::ScaleWindowSize(int32_t width, int32_t height, DWORD style, bool menu, int32_t dpi) const {
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = Lookup<AdjustFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (!adjust || dpi == kBaseDpi)
        return {ScaleForDpi(width, dpi), ScaleForDpi(height, dpi)};
    // The client area scales; the frame, caption and menu bar are the system's at each
    // resolution, and need not grow in proportion.
    RECT at96 = {}, atDpi = {};
    adjust(&at96, style, menu, 0, kBaseDpi);
    adjust(&atDpi, style, menu, 0, static_cast<UINT>(dpi));
    return {ScaleForDpi(width - (at96.right - at96.left), dpi) + atDpi.right - atDpi.left,
            ScaleForDpi(height - (at96.bottom - at96.top), dpi) + atDpi.bottom - atDpi.top};
}
