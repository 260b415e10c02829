#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include "gui/Form_About.h"
#include "resources/ResourceIds.h"
#include "tests/gui/TestHost.h"

// The screen resolution of the prefix this executable runs in (96, or 120 in the second one).
#ifndef ROSTERMINT_TEST_DPI
#define ROSTERMINT_TEST_DPI 96
#endif

namespace {

constexpr int kExpectedDpi = ROSTERMINT_TEST_DPI;
constexpr int kPictureWidth = kExpectedDpi > 96 ? 108 : 87;
constexpr int kPictureHeight = kExpectedDpi > 96 ? 288 : 231;
// A distance of the layout at 96 dpi, at the prefix's resolution.
int Px(int pixels) {
    return ::MulDiv(pixels, kExpectedDpi, 96);
}

// Runs the About box for real. inspect is called once from inside its modal loop, with the
// dialog window, and ends the box the way the test wants.
struct Showing {
    std::function<void(HWND)> inspect;
    HWND dialog = nullptr;
    int ticks = 0;
};
Showing* showing = nullptr;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    if (wcscmp(name, L"#32770") != 0 || !::IsWindowVisible(hwnd))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Showing& s = *showing;
    if (!s.dialog) {
        ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&s.dialog));
        if (s.dialog)
            s.inspect(s.dialog);
    }
    if (++s.ticks > 200 && ::IsWindow(s.dialog))
        ::EndDialog(s.dialog, 99); // the inspection failed to end it; never hang
}

INT_PTR ShowAbout(HWND owner, std::function<void(HWND)> inspect) {
    Showing s;
    s.inspect = std::move(inspect);
    showing = &s;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 25, Tick);
    Form_About about;
    const INT_PTR result = about.Run(::GetModuleHandleW(nullptr), owner);
    ::KillTimer(nullptr, timer);
    showing = nullptr;
    return result;
}

void Key(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof(INPUT));
}

void ClickAt(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

POINT CentreOf(HWND control) {
    RECT r = {};
    ::GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The dialog's children in creation order.
struct Controls {
    explicit Controls(HWND dialog) {
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            all.push_back(child);
    }
    HWND logo() const { return all.at(0); }
    HWND link() const { return all.at(1); }
    HWND version() const { return all.at(2); }
    HWND notice() const { return all.at(3); }
    HWND caption() const { return all.at(4); }
    HWND frame() const { return all.at(5); }
    HWND separator() const { return all.at(6); }
    HWND ok() const { return all.at(7); }
    std::vector<HWND> all;
};

SIZE Extent(HWND control, const WideString& text) {
    ScopedGetDC screen(nullptr);
    ::SelectObject(screen.Get(), reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    ::GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int WrappedHeight(HWND control, const WideString& text, int width) {
    ScopedGetDC screen(nullptr);
    ::SelectObject(screen.Get(), reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT box = {0, 0, width, 0};
    ::DrawTextW(screen.Get(), text.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return box.bottom;
}

class AboutBox : public ::testing::Test {
protected:
    AboutBox() : owner(400, 300) {}
    TestHost owner;
};

TEST_F(AboutBox, TheScreenResolutionPicksThePicture) {
    GUI_Utils gui;
    ASSERT_EQ(gui.GetScreenDpi(), kExpectedDpi) << "the prefix's LogPixels";
    BITMAP info = {};
    ScopedGdiObj<HBITMAP> picture(gui.LoadDpiBitmap(::GetModuleHandleW(nullptr), IDB_ABOUT_PICTURE, info));
    ASSERT_TRUE(picture);
    EXPECT_EQ(info.bmWidth, kPictureWidth);
    EXPECT_EQ(info.bmHeight, kPictureHeight);
    // Nothing follows 801, so above 96 dpi its own id is the fallback.
    ScopedGdiObj<HBITMAP> large(
        gui.LoadDpiBitmap(::GetModuleHandleW(nullptr), IDB_ABOUT_PICTURE_LARGE, info));
    ASSERT_TRUE(large);
    EXPECT_EQ(info.bmWidth, 108);
    EXPECT_EQ(info.bmHeight, 288);
}

TEST_F(AboutBox, LayoutFollowsThePictureAndTheNotice) {
    const INT_PTR result = ShowAbout(owner.Window(), [](HWND dialog) {
        const Controls c(dialog);
        ASSERT_EQ(c.all.size(), 8u) << "the disclaimer lives inside its frame";
        EXPECT_EQ(TextOf(dialog), L"About");
        EXPECT_EQ(TextOf(c.link()), L"https://www.corvane.example/rostermint");
        EXPECT_EQ(TextOf(c.version()), L"Rostermint Version 1.0.0.6");
        EXPECT_EQ(TextOf(c.notice()), L"Copyright (C) 2026 Corvane. All rights reserved.");
        EXPECT_EQ(TextOf(c.caption()), L"Product license:");
        EXPECT_EQ(TextOf(c.ok()), L"OK");
        EXPECT_EQ(::GetDlgCtrlID(c.ok()), IDOK);
        EXPECT_EQ(::GetDlgCtrlID(c.link()), IDC_LINK);

        const RECT logo = RectInParent(c.logo());
        EXPECT_EQ(logo.left, Px(8));
        EXPECT_EQ(logo.top, Px(8));
        EXPECT_EQ(logo.right - logo.left, kPictureWidth);
        EXPECT_EQ(logo.bottom - logo.top, kPictureHeight);

        // Column T starts right of the picture.
        const int columnLeft = kPictureWidth + Px(16);
        for (HWND control : {c.version(), c.notice(), c.caption(), c.frame(), c.separator()})
            EXPECT_EQ(RectInParent(control).left, columnLeft);

        const RECT separator = RectInParent(c.separator());
        EXPECT_EQ(separator.top, logo.bottom) << "level with the picture's bottom";

        // The column is as wide as the notice; the frame, the line and the OK button end there.
        const SIZE notice = Extent(c.notice(), TextOf(c.notice()));
        const RECT frame = RectInParent(c.frame());
        EXPECT_EQ(frame.right - frame.left, notice.cx);
        EXPECT_EQ(separator.right, frame.right);
        const RECT ok = RectInParent(c.ok());
        EXPECT_EQ(ok.right, columnLeft + notice.cx);
        EXPECT_EQ(ok.right - ok.left, 7 * Extent(c.ok(), L"OK").cx);
        const int hText = Extent(c.ok(), L"OK").cy;
        EXPECT_EQ(ok.bottom - ok.top, hText + hText / 2 + Px(4));
        EXPECT_EQ(ok.bottom, RectInParent(c.link()).bottom + Px(8));

        // The disclaimer sits at (4, 4) in its frame with room for four lines, or for all of
        // its wrapped text when that is longer.
        HWND disclaimer = ::GetWindow(c.frame(), GW_CHILD);
        ASSERT_NE(disclaimer, nullptr);
        const RECT inner = RectInParent(disclaimer);
        EXPECT_EQ(inner.left, Px(4));
        EXPECT_EQ(inner.top, Px(4));
        EXPECT_EQ(inner.right - inner.left, notice.cx - Px(8));
        const int height = inner.bottom - inner.top;
        EXPECT_EQ(height, std::max<int>(4 * Extent(disclaimer, TextOf(disclaimer)).cy,
                                        WrappedHeight(disclaimer, TextOf(disclaimer), notice.cx - Px(8))));
        EXPECT_EQ(frame.bottom - frame.top, Px(4) + height + Px(8));

        // Outer size: the notice sets the width; the OK button, placed below T's cursor,
        // counts twice in the height.
        RECT outer = {};
        ::GetWindowRect(dialog, &outer);
        EXPECT_EQ(outer.right - outer.left, kPictureWidth + notice.cx + Px(32));
        ASSERT_GT(ok.top, separator.bottom + Px(8)) << "the case this layout is built for";
        EXPECT_EQ(outer.bottom - outer.top, ok.top + 2 * (ok.bottom - ok.top) + 2 * Px(8));

        ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, 0) << "the close box cancels";
}

TEST_F(AboutBox, LinkLooksLikeALink) {
    ShowAbout(owner.Window(), [](HWND dialog) {
        const Controls c(dialog);
        LOGFONTW link = {}, plain = {};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(c.link(), WM_GETFONT, 0, 0)), sizeof(link),
                     &link);
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(c.notice(), WM_GETFONT, 0, 0)), sizeof(plain),
                     &plain);
        EXPECT_TRUE(link.lfUnderline);
        EXPECT_FALSE(plain.lfUnderline);
        EXPECT_EQ(link.lfHeight, plain.lfHeight);
        EXPECT_STREQ(link.lfFaceName, plain.lfFaceName);

        HDC dc = ::CreateCompatibleDC(nullptr);
        const LRESULT brush = ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(c.link()));
        EXPECT_EQ(::GetTextColor(dc), 0x00CC6600u);
        EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)));
        ::SetTextColor(dc, 0);
        ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(c.notice()));
        EXPECT_NE(::GetTextColor(dc), 0x00CC6600u) << "only the link is coloured";
        ::DeleteDC(dc);
        ::EndDialog(dialog, 0);
    });
}

TEST_F(AboutBox, HandOverTheLinkArrowElsewhere) {
    ShowAbout(owner.Window(), [](HWND dialog) {
        const Controls c(dialog);
        HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND), arrow = ::LoadCursorW(nullptr, IDC_ARROW);
        ASSERT_NE(hand, arrow);
        RECT link = {};
        ::GetWindowRect(c.link(), &link);
        const struct {
            POINT at;
            HCURSOR expected;
        } cases[] = {{CentreOf(c.link()), hand},
                     {{link.left, link.top}, hand},
                     {{link.right - 1, link.bottom - 1}, hand},
                     {{link.right, link.bottom}, arrow},
                     {CentreOf(c.ok()), arrow},
                     {CentreOf(c.logo()), arrow},
                     {CentreOf(c.notice()), arrow}};
        for (const auto& test : cases) {
            ::SetCursorPos(test.at.x, test.at.y);
            ::SetCursor(nullptr);
            EXPECT_TRUE(::SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog),
                                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
            EXPECT_EQ(::GetCursor(), test.expected) << test.at.x << "," << test.at.y;
        }
        ::EndDialog(dialog, 0);
    });
}

TEST_F(AboutBox, KeysAndButtonEndIt) {
    EXPECT_EQ(ShowAbout(owner.Window(), [](HWND) { Key(VK_ESCAPE); }), 0);
    EXPECT_EQ(ShowAbout(owner.Window(), [](HWND) { Key(VK_RETURN); }), 1) << "Enter on the focused OK button";
    EXPECT_EQ(ShowAbout(owner.Window(), [](HWND dialog) { ClickAt(CentreOf(Controls(dialog).ok())); }), 1);
}

// Sent to the box, and to the OK button that has the focus as the box opens: the box's own
// keys reach it from either.
TEST_F(AboutBox, FunctionKeysSentToTheBox) {
    GUI_Utils gui;
    for (bool toButton : {false, true}) {
        const INT_PTR result = ShowAbout(owner.Window(), [&gui, toButton](HWND dialog) {
            EXPECT_EQ(::GetFocus(), Controls(dialog).ok());
            HWND to = toButton ? ::GetFocus() : dialog;
            ::SendMessageW(to, WM_KEYDOWN, VK_F1, 0);
            EXPECT_TRUE(::IsWindowVisible(dialog)) << "F1 changes nothing";
            ::SendMessageW(to, WM_KEYDOWN, VK_F11, 0);
            EXPECT_EQ(gui.GetShowState(dialog), SW_SHOWMAXIMIZED);
            ::SendMessageW(to, WM_KEYDOWN, VK_F11, 0);
            EXPECT_EQ(gui.GetShowState(dialog), SW_SHOWNORMAL);

            // Ctrl+W ends the whole application: the modal loop passes the quit on.
            BYTE keys[256] = {};
            ::GetKeyboardState(keys);
            keys[VK_CONTROL] = 0x80;
            ::SetKeyboardState(keys);
            ::SendMessageW(to, WM_KEYDOWN, 'W', 0);
            keys[VK_CONTROL] = 0;
            ::SetKeyboardState(keys);
        });
        EXPECT_NE(result, 99) << "the quit message ended the box";
        MSG msg;
        EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
}

} // namespace
