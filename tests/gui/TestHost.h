#pragma once
#include <windows.h>
#include <functional>
#include <vector>
#include "base/Strings.h"
#include "base/ScopedWin.h"

// A visible top-level window for tests to build controls in. Its WM_NOTIFY messages go to
// onNotify when set, as the main window routes the list view's requests.
class TestHost {
public:
    TestHost(int clientWidth, int clientHeight);
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND Window() const { return window.Get(); }
    std::function<LRESULT(WPARAM, NMHDR*)> onNotify;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    ScopedWindow window;
};

// A control's window rectangle in its parent's client coordinates.
RECT RectInParent(HWND control);
// The window's children in z order (creation order unless moved).
std::vector<HWND> Children(HWND parent);
// The window's text (up to 511 characters).
WideString TextOf(HWND window);
// Destroys every child of the window.
void DestroyChildren(HWND parent);
// Dispatches this thread's pending messages.
void PumpPending();
