#pragma once
#include <windows.h>

// PumpMessages offers each key message to its top-level window with this message (lParam:
// the MSG); a window whose shortcuts should work there too answers nonzero when it took the
// key, as its own message loop would have.
constexpr UINT UWM_TRANSLATE_SHORTCUT = WM_APP + 1;

// Dispatches what waits in the thread's queue, keys through UWM_TRANSLATE_SHORTCUT: a long
// export on the UI thread keeps the window alive this way.
void PumpMessages();
