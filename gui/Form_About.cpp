#include "gui/Form_About.h"
#include <shellapi.h>
#include <commctrl.h>
#include <algorithm>
#include "resources/ResourceIds.h"

namespace {

const wchar_t kMakerAddress[] = L"https://www.corvane.example/rostermint";
const wchar_t kVersionText[] = L"Rostermint Version 1.0.0.6";
const wchar_t kNoticeText[] = L"Copyright (C) 2026 Corvane. All rights reserved.";
const wchar_t kTermsCaption[] = L"Product license:";
const wchar_t kDisclaimerText[] =
    L"Unless otherwise stated, this software is provided \"as-is,\" without any express or implied "
    L"warranty. In no event shall Corvane be held liable for any damages arising from the use of this "
    L"software.";

constexpr COLORREF kLinkColour = RGB(0, 102, 204);
constexpr DWORD kStatic = WS_CHILD | WS_VISIBLE;

} // namespace

INT_PTR Form_About::Run(HINSTANCE instanceHandle, HWND ownerWindow) {
    instance = instanceHandle;
    owner = ownerWindow;
    return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Form_About::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Form_About*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        if (message != WM_INITDIALOG)
            return FALSE;
        self = reinterpret_cast<Form_About*>(lParam);
        self->window = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return self->OnMessage(message, wParam, lParam);
}

INT_PTR Form_About::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        dpi = GetWindowDpi(window);
        BuildControls();
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_SETCURSOR:
        return OnSetCursor();
    case WM_KEYDOWN:
        OnKeyDown(LOWORD(wParam));
        return TRUE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) != linkStatic)
            return FALSE;
        ::SetTextColor(reinterpret_cast<HDC>(wParam), kLinkColour);
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    default:
        return FALSE;
    }
}

INT_PTR Form_About::OnCommand(WORD id) {
    switch (id) {
    case IDOK:
        ::EndDialog(window, 1);
        return TRUE;
    case IDCANCEL:
        ::EndDialog(window, 0);
        return TRUE;
    case IDC_LINK:
        // Every notification of the link (it has SS_NOTIFY) opens the address.
        ::ShellExecuteW(nullptr, nullptr, kMakerAddress, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR Form_About::OnSetCursor() {
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    RECT link = {};
    ::GetWindowRect(linkStatic, &link);
    ::SetCursor(::LoadCursorW(nullptr, ::PtInRect(&link, cursor) ? IDC_HAND : IDC_ARROW));
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

void Form_About::OnKeyDown(WORD key) {
    if (key == 'W' && (::GetKeyState(VK_CONTROL) & 0x8000)) {
        ::PostQuitMessage(0); // Ctrl+W quits the whole application, as in the main window
    } else if (key == VK_F1) {
        ::SendMessageW(window, WM_COMMAND, IDM_ABOUT, 0);
    } else if (key == VK_F11) {
        SetShowState(GetShowState(window) == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : SW_MAXIMIZE);
    }
}

LRESULT CALLBACK Form_About::ControlKeys(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
    const WORD key = LOWORD(wParam);
    if (message == WM_KEYDOWN &&
        (key == VK_F1 || key == VK_F11 || (key == 'W' && (::GetKeyState(VK_CONTROL) & 0x8000)))) {
        reinterpret_cast<Form_About*>(self)->OnKeyDown(key);
        return 0;
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(control, ControlKeys, 0);
    return ::DefSubclassProc(control, message, wParam, lParam);
}

void Form_About::OnDpiChanged(int32_t newDpi, const RECT& suggested) {
    dpi = newDpi;
    // The box holds nothing the user changed: it is built again at the new size, where
    // the system suggests.
    while (HWND child = ::GetWindow(window, GW_CHILD))
        ::DestroyWindow(child);
    BuildControls();
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetFocus(okButton);
}

void Form_About::SetShowState(int showCommand) {
    ::ShowWindow(window, showCommand);
    ::UpdateWindow(window);
}

void Form_About::BuildControls() {
    font.Attach(CreateMessageFont(logFont, dpi));
    BITMAP info = {};
    logoBitmap.Attach(LoadDpiBitmap(instance, IDB_ABOUT_PICTURE, info, dpi));
    const int32_t bw = info.bmWidth;
    const int32_t bh = info.bmHeight;
    HFONT f = font.Get();
    // The layout's distances are those at 96 dpi.
    const auto px = [&](int32_t pixels) { return ScaleForDpi(pixels, dpi); };

    // Column A holds the picture and the link, T the texts beside them, D the disclaimer
    // inside its frame.
    LayoutColumn a, t, d;

    logoStatic = CreateControl(0, L"Static", L"", kStatic | SS_BITMAP, px(8), px(8), bw, bh, window, 0,
                               instance, nullptr, f, a, {0, 0, 0, 0});
    ::SendMessageW(logoStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logoBitmap.Get()));
    linkStatic =
        CreateControl(0, L"Static", kMakerAddress, kStatic | SS_NOTIFY, LAYOUT_AUTO, LAYOUT_AUTO, LAYOUT_AUTO,
                      LAYOUT_AUTO, window, IDC_LINK, instance, nullptr, f, a, {px(32), 0, 0, 0});

    versionStatic = CreateControl(0, L"Static", kVersionText, kStatic, bw + px(8), LAYOUT_AUTO, LAYOUT_AUTO,
                                  LAYOUT_AUTO, window, 0, instance, nullptr, f, t, {px(8), px(8), 0, 0});
    noticeStatic = CreateControl(0, L"Static", kNoticeText, kStatic, LAYOUT_AUTO, LAYOUT_AUTO, LAYOUT_AUTO,
                                 LAYOUT_AUTO, window, 0, instance, nullptr, f, t, {px(16), 0, 0, 0});
    termsCaption = CreateControl(0, L"Static", kTermsCaption, kStatic, LAYOUT_AUTO, LAYOUT_AUTO, LAYOUT_AUTO,
                                 LAYOUT_AUTO, window, 0, instance, nullptr, f, t, {px(16), 0, 0, 0});
    disclaimerFrame = CreateControl(WS_EX_STATICEDGE, L"Static", L"", kStatic, LAYOUT_AUTO, LAYOUT_AUTO,
                                    t.maxWidth, 0, window, 0, instance, nullptr, f, t, {px(8), 0, 0, 0});
    // Room for four lines, or for the whole text if it wraps to more: a cut-off disclaimer
    // would read as a different promise. The frame and T's cursor grow with it.
    const int32_t disclaimerWidth = t.maxWidth - px(8);
    const int32_t disclaimerHeight = std::max(4 * MeasureTextHeight(kDisclaimerText, f),
                                              MeasureWrappedTextHeight(kDisclaimerText, f, disclaimerWidth));
    disclaimerStatic =
        CreateControl(0, L"Static", kDisclaimerText, kStatic, LAYOUT_AUTO, LAYOUT_AUTO, disclaimerWidth,
                      disclaimerHeight, disclaimerFrame, 0, instance, nullptr, f, d, {px(4), px(4), 0, 0});
    t.nextY += d.nextY + px(8);
    ::SetWindowPos(disclaimerFrame, nullptr, 0, 0, t.maxWidth, d.nextY + px(8), SWP_NOMOVE | SWP_NOZORDER);

    // Level with the picture's bottom; when that lies below T's cursor it pulls the cursor.
    separatorLine = CreateControl(WS_EX_STATICEDGE, L"Static", L"", kStatic, LAYOUT_AUTO, bh, t.maxWidth, 1,
                                  window, 0, instance, nullptr, f, t, {px(8), 0, 0, 0});

    // Right-aligned with column T, its bottom 8 pixels below the link.
    const int32_t wOK = 7 * MeasureTextWidth(L"OK", f);
    const int32_t hText = MeasureTextHeight(L"OK", f);
    const int32_t hOK = hText + hText / 2 + px(4);
    okButton =
        CreateControl(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, LAYOUT_AUTO, a.nextY - hOK,
                      wOK, hOK, window, IDOK, instance, nullptr, f, t, {px(8), t.maxWidth - wOK, 0, 0});

    ::SetWindowPos(window, nullptr, 0, 0, bw + MeasureTextWidth(kNoticeText, f) + px(32), t.nextY + px(8),
                   SWP_NOMOVE | SWP_NOZORDER);

    logFont.lfUnderline = TRUE;
    linkFont.Attach(::CreateFontIndirectW(&logFont));
    ::SendMessageW(linkStatic, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont.Get()), TRUE);

    for (HWND control : {logoStatic, linkStatic, versionStatic, noticeStatic, termsCaption, disclaimerFrame,
                         separatorLine, okButton})
        ::SetWindowSubclass(control, ControlKeys, 0, reinterpret_cast<DWORD_PTR>(this));
}
