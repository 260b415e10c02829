#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <vector>
#include "tests/app/MainWindowHost.h"

// The screen resolution of the prefix this executable runs in.
#ifndef ROSTERMINT_TEST_DPI
#define ROSTERMINT_TEST_DPI 96
#endif

namespace {

const wchar_t* const kTitle = kMainWindowTitle;
constexpr int kDpi = ROSTERMINT_TEST_DPI;

int Px(int pixels, int dpi = kDpi) {
    return ::MulDiv(pixels, dpi, 96);
}

// The client size a 600 x 580 window has at 96 dpi, from the frame the system draws there.
SIZE ClientAt96() {
    using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust = reinterpret_cast<Adjust>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT frame = {};
    if (adjust)
        adjust(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0, 96);
    return {600 - (frame.right - frame.left), 580 - (frame.bottom - frame.top)};
}

// The main window as start-up makes it, at the prefix's resolution.
class MainLayout : public ::testing::Test {
protected:
    void SetUp() override {
        window = ShowMainWindow(form);
        ASSERT_NE(window, nullptr);
        top = Children(window);
        ASSERT_EQ(top.size(), 6u);
        group = Children(top[2]);
        ASSERT_EQ(group.size(), 13u);
        listView = top[5];
    }
    void TearDown() override {
        if (::IsWindow(window))
            ::DestroyWindow(window);
        PumpPending();
        ::UnregisterClassW(kTitle, ::GetModuleHandleW(nullptr));
    }

    // Every control whole inside its parent's client area, none over another; the list's
    // headings whole; each counter level with its label.
    void ExpectWholeLayout(int dpi) {
        for (HWND parent : {window, top[2]}) {
            RECT client = {};
            ::GetClientRect(parent, &client);
            const std::vector<HWND> controls = Children(parent);
            for (size_t i = 0; i < controls.size(); ++i) {
                const RECT r = RectInParent(controls[i]);
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                    << "control " << i << " at " << r.left << "," << r.top << "-" << r.right << ","
                    << r.bottom << " in " << client.right << " x " << client.bottom;
                for (size_t j = i + 1; j < controls.size(); ++j) {
                    RECT both = {};
                    const RECT other = RectInParent(controls[j]);
                    EXPECT_FALSE(::IntersectRect(&both, &r, &other))
                        << "controls " << i << " and " << j << ": " << r.top << "-" << r.bottom << ", "
                        << other.top << "-" << other.bottom;
                }
            }
        }
        HWND header = reinterpret_cast<HWND>(::SendMessageW(listView, LVM_GETHEADER, 0, 0));
        ScopedGetDC screen(nullptr);
        ::SelectObject(screen.Get(), reinterpret_cast<HFONT>(::SendMessageW(header, WM_GETFONT, 0, 0)));
        for (int k = 0; k < 4; ++k) {
            wchar_t text[64] = {};
            HDITEMW item = {};
            item.mask = HDI_TEXT;
            item.pszText = text;
            item.cchTextMax = 64;
            ASSERT_TRUE(::SendMessageW(header, HDM_GETITEMW, k, reinterpret_cast<LPARAM>(&item)));
            SIZE extent = {};
            ::GetTextExtentPoint32W(screen.Get(), text, static_cast<int>(wcslen(text)), &extent);
            RECT r = {};
            ::SendMessageW(header, HDM_GETITEMRECT, k, reinterpret_cast<LPARAM>(&r));
            // The header keeps a margin of about 6 pixels at 96 dpi on either side of its text.
            EXPECT_GE(r.right - r.left, extent.cx + Px(12, dpi)) << "heading " << k;
        }
        // The total sits a pixel below its label, below the separator's line, as at 96 dpi.
        for (size_t k = 0; k < 6; ++k) {
            const size_t label = k < 5 ? 2 * k : 11;
            EXPECT_EQ(RectInParent(group[label]).top + (k < 5 ? 0 : 1), RectInParent(group[label + 1]).top)
                << "counter " << k;
        }
        EXPECT_GE(::SendMessageW(listView, LVM_GETCOUNTPERPAGE, 0, 0), 10) << "rows that can be read";
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(
            reinterpret_cast<HIMAGELIST>(::SendMessageW(listView, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), &cx,
            &cy);
        EXPECT_EQ(cx, Px(16, dpi));
    }

    Form_Main form;
    HWND window = nullptr, listView = nullptr;
    std::vector<HWND> top, group;
};

TEST_F(MainLayout, ScaledForTheScreenAndWhole) {
    GUI_Utils gui;
    ASSERT_EQ(gui.GetWindowDpi(window), kDpi) << "the prefix's LogPixels, the manifest's awareness";
    RECT outer = {}, client = {};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (work.right - work.left < Px(600) || work.bottom - work.top < Px(580))
        GTEST_SKIP() << "the screen is smaller than the window at " << kDpi << " dpi";
    // The client area is the one at 96 dpi scaled; the frame, caption and menu bar around
    // it are the system's at the resolution.
    const SIZE at96 = ClientAt96();
    EXPECT_NEAR(client.right, Px(at96.cx), 1);
    EXPECT_NEAR(client.bottom, Px(at96.cy), 1);
    EXPECT_NEAR(outer.right - outer.left, Px(600), Px(6));
    EXPECT_NEAR(outer.bottom - outer.top, Px(580), Px(6));
    if (kDpi == 96) {
        EXPECT_EQ(outer.right - outer.left, 600);
        EXPECT_EQ(outer.bottom - outer.top, 580);
    }

    ExpectWholeLayout(kDpi);
    EXPECT_EQ(RectInParent(group[1]).left, Px(256)) << "the counters' column";
    EXPECT_EQ(RectInParent(group[1]).right - RectInParent(group[1]).left, Px(60));
    EXPECT_EQ(::SendMessageW(listView, LVM_GETCOLUMNWIDTH, 3, 0), Px(150));
    LOGFONTW font = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(listView, WM_GETFONT, 0, 0)), sizeof(font), &font);
    LOGFONTW expected = {};
    ScopedGdiObj<HFONT> made(gui.CreateMessageFont(expected, kDpi));
    EXPECT_EQ(font.lfHeight, expected.lfHeight);
}

// Moved to a monitor of another resolution (200 % from 100 %, else 100 %): the suggested
// rectangle, and everything laid out again; the column widths the user left are scaled.
TEST_F(MainLayout, FollowsAMoveToAnotherResolution) {
    ::SendMessageW(listView, LVM_SETCOLUMNWIDTH, 1, Px(130));
    const int dpi = kDpi == 96 ? 192 : 96;
    const RECT suggested = {10, 20, 10 + Px(600, dpi), 20 + Px(580, dpi)};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpPending();
    RECT outer = {};
    ::GetWindowRect(window, &outer);
    EXPECT_TRUE(::EqualRect(&outer, &suggested));
    ExpectWholeLayout(dpi);
    EXPECT_EQ(RectInParent(group[1]).left, Px(256, dpi));
    EXPECT_EQ(::SendMessageW(listView, LVM_GETCOLUMNWIDTH, 0, 0), Px(90, dpi));
    EXPECT_EQ(::SendMessageW(listView, LVM_GETCOLUMNWIDTH, 1, 0), ::MulDiv(Px(130), dpi, kDpi));
    EXPECT_EQ(::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0), 0) << "the list keeps its rows";
}

#if ROSTERMINT_TEST_DPI == 96
// A taskbar along the left and top: the window opens centred in the work area, counted
// from its corner, and inside it.
TEST(MainWindowPlacement, CentredInAWorkAreaAwayFromTheOrigin) {
    RECT before = {};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &before, 0));
    RECT moved = {before.left + 150, before.top + 90, before.right, before.bottom};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETWORKAREA, 0, &moved, 0));
    RECT outer = {};
    {
        Form_Main form;
        EXPECT_TRUE(::GetWindowRect(ShowMainWindow(form), &outer));
        ::DestroyWindow(form.Window());
        ::UnregisterClassW(kTitle, ::GetModuleHandleW(nullptr));
    }
    ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &before, 0);
    EXPECT_EQ(outer.left, moved.left + (moved.right - moved.left - 600) / 2);
    EXPECT_EQ(outer.top, moved.top + (moved.bottom - moved.top - 580) / 2);
    EXPECT_GE(outer.top, moved.top);
    EXPECT_LE(outer.bottom, moved.bottom);
}
#endif

} // namespace
