#include "export/PumpMessages.h"

void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Taken from the main loop's queue: put it back so the loop still ends the
            // program once the export has returned.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        // A key may be a shortcut of the window, which the main loop is not there to see.
        if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && message.hwnd) {
            HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
            if (root && ::SendMessageW(root, UWM_TRANSLATE_SHORTCUT, 0, reinterpret_cast<LPARAM>(&message)))
                continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}
