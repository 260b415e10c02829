#include <algorithm>
#include "gui/GUI_Utils.h"

BOOL GUI_Utils::PlaceInWorkArea(HWND window, int32_t x, int32_t y, int32_t width, int32_t height,
                                int32_t showCommand, bool show) const {
    const RECT wanted = {x, y, x + width, y + height};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;

    if (x == 0 && y == 0) {
        // Centred by the work area's size, counted from the screen origin.
        return ::MoveWindow(window, (work.right - work.left - width) / 2,
                            (work.bottom - work.top - height) / 2, width, height, TRUE);
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
    if (!show)
        return moved;
    return ::ShowWindow(window, showCommand);
}

int32_t GUI_Utils::GetShowState(HWND window) const {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window, &placement);
    return static_cast<int32_t>(placement.showCmd);
}
