#pragma once
#include <windows.h>
#include "app/Form_Main.h"
#include "tests/gui/TestHost.h"

inline constexpr wchar_t kMainWindowTitle[] = L"Mailsight license utility";

// Creates the main window as start-up does, shows it and lets it settle; null when it could
// not be made.
inline HWND ShowMainWindow(Form_Main& form) {
    WindowSettings settings;
    settings.instance = ::GetModuleHandleW(nullptr);
    settings.title = kMainWindowTitle;
    if (!form.Create(settings))
        return nullptr;
    form.SetShowState(SW_SHOWNORMAL);
    PumpPending();
    return form.Window();
}
