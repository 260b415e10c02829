#include <algorithm>
#include "gui/GUI_Utils.h"

namespace {

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(monitor, &info);
    // On Windows the primary monitor's work area is the system's; Wine leaves one set by
    // SystemParametersInfo out of the monitor's, so the system's is asked for it.
    RECT system = {};
    if ((info.dwFlags & MONITORINFOF_PRIMARY) && ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &system, 0) &&
        !::IsRectEmpty(&system))
        return system;
    return info.rcWork;
}

} // namespace

BOOL GUI_Utils::PlaceInWorkArea(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                                int32_t showCommand, bool show) const {
    const RECT wanted = {x, y, x + width, y + height};
    const bool centre = x == 0 && y == 0;
    const RECT work =
        WorkAreaOf(centre ? GetStartupMonitor() : ::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST));

    if (centre) {
        // From the work area's own corner: a taskbar on the left or at the top moves it.
        x = work.left + (work.right - work.left - width) / 2;
        y = work.top + (work.bottom - work.top - height) / 2;
    }
    width = std::min<int32_t>(width, work.right - work.left);
    height = std::min<int32_t>(height, work.bottom - work.top);
    if (x + width > work.right)
        x = work.right - width;
    if (x < work.left)
        x = work.left;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (y < work.top)
        y = work.top;
    const BOOL moved = ::MoveWindow(window, x, y, width, height, TRUE);
    // A centred window is never shown here.
    if (!show || centre)
        return moved;
    return ::ShowWindow(window, showCommand);
}

int32_t GUI_Utils::GetShowState(HWND window) const {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window, &placement);
    return static_cast<int32_t>(placement.showCmd);
}
