#include "tests/gui/TestHost.h"

namespace {
const wchar_t kClassName[] = L"RostermintGuiTestHost";
}

TestHost::TestHost(int clientWidth, int clientHeight) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc); // a second host finds the class already there
    RECT frame = {0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    window.Attach(::CreateWindowExW(0, kClassName, L"Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), this));
    PumpPending();
}

LRESULT CALLBACK TestHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestHost*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_NOTIFY && self->onNotify)
        return self->onNotify(wParam, reinterpret_cast<NMHDR*>(lParam));
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

RECT RectInParent(HWND control) {
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void DestroyChildren(HWND parent) {
    while (HWND child = ::GetWindow(parent, GW_CHILD))
        ::DestroyWindow(child);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        all.push_back(child);
    return all;
}

WideString TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}
