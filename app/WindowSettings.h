#pragma once
#include <windows.h>
#include <cstdint>
#include "base/Strings.h"

// The main window's title and class name. Users know the program by it, and their scripts
// find its window by it: it stays as it is, whatever the program is called.
inline constexpr wchar_t kWindowTitle[] = L"Mailsight license utility";

// What start-up hands to the main window's create operation.
struct WindowSettings {
    HINSTANCE instance = nullptr;
    // The window class name and the window title.
    WideString title;
    // x and y both 0 centre the window on the monitor.
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 600;
    int32_t height = 580;
    // The first ShowWindow command.
    int32_t showCommand = SW_SHOWNORMAL;
};
