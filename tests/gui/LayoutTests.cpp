#include <gtest/gtest.h>
#include "gui/GUI_Objects.h"
#include "tests/gui/TestHost.h"

namespace {

// Real controls in a real window, placed by the control factory. One host serves the
// suite (Wine takes a while to hide a top-level window); each test clears it.
class Layout : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host = new TestHost(500, 400); }
    static void TearDownTestSuite() { delete host; }
    Layout() { font.Attach(gui.CreateMessageFont(logFont)); }
    ~Layout() override { DestroyChildren(host->Window()); }

    HWND Make(const wchar_t* text, int x, int y, int width, int height, LayoutColumn& column,
              const LayoutMargins& margins, DWORD style = 0, const wchar_t* className = L"Static") {
        return gui.CreateControl(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 host->Window(), 0, ::GetModuleHandleW(nullptr), nullptr, font.Get(), column,
                                 margins);
    }
    SIZE Extent(const wchar_t* text) {
        ScopedGetDC screen(nullptr);
        ::SelectObject(screen.Get(), font.Get());
        SIZE size = {};
        ::GetTextExtentPoint32W(screen.Get(), text, static_cast<int>(wcslen(text)), &size);
        return size;
    }

    static TestHost* host;
    GUI_Objects gui;
    LOGFONTW logFont = {};
    ScopedGdiObj<HFONT> font;
};
TestHost* Layout::host = nullptr;

void ExpectRect(HWND control, int left, int top, int width, int height) {
    const RECT r = RectInParent(control);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
}

TEST_F(Layout, FirstControlAtExplicitPositionInFreshColumn) {
    LayoutColumn column;
    HWND control = Make(L"x", 8, 8, 50, 20, column, {0, 0, 0, 0});
    ASSERT_NE(control, nullptr);
    ExpectRect(control, 8, 8, 50, 20);
    EXPECT_EQ(column.top, 8);
    EXPECT_EQ(column.left, 8);
    EXPECT_EQ(column.nextY, 20) << "a zero cursor is not pulled down by an explicit y";
    EXPECT_EQ(column.lastHeight, 20);
    EXPECT_EQ(column.maxWidth, 50);
    EXPECT_EQ(::SendMessageW(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font.Get()));
}

TEST_F(Layout, AutoPositionsFollowTheColumnAndMargins) {
    LayoutColumn column;
    HWND first = Make(L"a", LAYOUT_AUTO, LAYOUT_AUTO, 40, 15, column, {5, 12, 0, 4});
    ExpectRect(first, 12, 5, 40, 15);
    EXPECT_EQ(column.left, 12);
    EXPECT_EQ(column.top, 5);
    EXPECT_EQ(column.nextY, 5 + 4 + 15);

    HWND second = Make(L"b", LAYOUT_AUTO, LAYOUT_AUTO, 30, 10, column, {8, 3, 0, 0});
    ExpectRect(second, 12 + 3, 24 + 8, 30, 10);
    EXPECT_EQ(column.nextY, 24 + 8 + 10);
    EXPECT_EQ(column.left, 12) << "left and top are taken from the first control only";
}

TEST_F(Layout, ZeroFirstPositionLeavesTopAndLeftForTheNextControl) {
    LayoutColumn column;
    Make(L"a", 0, 0, 40, 15, column, {0, 0, 0, 0});
    EXPECT_EQ(column.left, 0);
    EXPECT_EQ(column.top, 0);
    HWND second = Make(L"b", 30, LAYOUT_AUTO, 40, 15, column, {4, 0, 0, 0});
    ExpectRect(second, 30, 19, 40, 15);
    EXPECT_EQ(column.left, 30);
    EXPECT_EQ(column.top, 19);
}

TEST_F(Layout, AutoSizeIsTheTextExtentInTheFont) {
    LayoutColumn column;
    const SIZE label = Extent(L"Distribution Lists:");
    ExpectRect(Make(L"Distribution Lists:", 0, 0, LAYOUT_AUTO, LAYOUT_AUTO, column, {}), 0, 0, label.cx,
               label.cy);

    const SIZE sample = Extent(L"AA bb CC");
    ExpectRect(Make(nullptr, 0, 100, 30, LAYOUT_AUTO, column, {}), 0, 100, 30, sample.cy);

    const SIZE empty = Extent(L"");
    ExpectRect(Make(L"", 0, 200, 30, LAYOUT_AUTO, column, {}), 0, 200, 30, empty.cy);
}

TEST_F(Layout, ExplicitYBelowTheCursorCountsTwice) {
    LayoutColumn column;
    Make(L"a", LAYOUT_AUTO, LAYOUT_AUTO, 40, 20, column, {8, 0, 0, 0});
    ASSERT_EQ(column.nextY, 28);

    HWND below = Make(L"b", LAYOUT_AUTO, 60, 40, 20, column, {8, 0, 0, 2});
    ExpectRect(below, 0, 68, 40, 20);
    // Pulled to 68 + 20, then the ordinary advance of 8 + 2 + 20.
    EXPECT_EQ(column.nextY, 68 + 20 + 8 + 2 + 20);
}

TEST_F(Layout, ExplicitYAtOrAboveTheCursorOnlyAdvances) {
    LayoutColumn column;
    Make(L"a", LAYOUT_AUTO, LAYOUT_AUTO, 40, 40, column, {0, 0, 0, 0});
    ASSERT_EQ(column.nextY, 40);

    HWND above = Make(L"b", LAYOUT_AUTO, 10, 40, 20, column, {0, 0, 0, 0});
    ExpectRect(above, 0, 10, 40, 20);
    EXPECT_EQ(column.nextY, 60);

    HWND level = Make(L"c", LAYOUT_AUTO, 52, 40, 20, column, {8, 0, 0, 0});
    ExpectRect(level, 0, 60, 40, 20);
    EXPECT_EQ(column.nextY, 60 + 8 + 20) << "y equal to the cursor does not pull it";
}

TEST_F(Layout, MaxWidthNeverShrinksAndCountsBothSideMargins) {
    LayoutColumn column;
    Make(L"wide", LAYOUT_AUTO, LAYOUT_AUTO, 200, 10, column, {0, 6, 9, 0});
    EXPECT_EQ(column.maxWidth, 215);
    Make(L"narrow", LAYOUT_AUTO, LAYOUT_AUTO, 50, 10, column, {0, 0, 0, 0});
    EXPECT_EQ(column.maxWidth, 215);
    Make(L"wider", LAYOUT_AUTO, LAYOUT_AUTO, 220, 10, column, {0, 0, 0, 0});
    EXPECT_EQ(column.maxWidth, 220);
}

TEST_F(Layout, ClientSizeNotRequestedSizeDrivesTheColumn) {
    LayoutColumn column;
    HWND bordered = Make(L"edge", LAYOUT_AUTO, LAYOUT_AUTO, 60, 30, column, {0, 0, 0, 0}, WS_BORDER);
    ExpectRect(bordered, 0, 0, 60, 30);
    EXPECT_EQ(column.lastHeight, 28);
    EXPECT_EQ(column.nextY, 28);
    EXPECT_EQ(column.maxWidth, 58);
}

TEST_F(Layout, FailedCreationAdvancesByMarginsOnly) {
    LayoutColumn column;
    Make(L"a", LAYOUT_AUTO, LAYOUT_AUTO, 40, 20, column, {0, 0, 0, 0});
    HWND none = Make(L"b", LAYOUT_AUTO, LAYOUT_AUTO, 40, 20, column, {8, 3, 5, 2}, 0, L"NoSuchClassHere");
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(column.lastHeight, 0);
    EXPECT_EQ(column.nextY, 20 + 8 + 2);
    EXPECT_EQ(column.maxWidth, 40);
}

// A hidden top-level window to place.
struct Placed {
    Placed() {
        window.Attach(::CreateWindowExW(0, L"Static", L"placed", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr));
    }
    RECT Rect() const {
        RECT r = {};
        ::GetWindowRect(window.Get(), &r);
        return r;
    }
    ScopedWindow window;
};

RECT WorkArea(const RECT& wanted) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST(PlaceInWorkArea, CentresOnTheWorkAreaAndNeverShows) {
    GUI_Utils gui;
    Placed placed;
    const RECT work = WorkArea({0, 0, 600, 580});
    EXPECT_TRUE(gui.PlaceInWorkArea(placed.window.Get(), 0, 0, 600, 580, SW_SHOWNORMAL, true));
    const RECT r = placed.Rect();
    EXPECT_EQ(r.left, (work.right - work.left - 600) / 2);
    EXPECT_EQ(r.top, (work.bottom - work.top - 580) / 2);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 580);
    EXPECT_FALSE(::IsWindowVisible(placed.window.Get()));
}

TEST(PlaceInWorkArea, ClampsIntoTheWorkArea) {
    GUI_Utils gui;
    Placed placed;
    const RECT work = WorkArea({0, 0, 600, 580});
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;

    gui.PlaceInWorkArea(placed.window.Get(), 50, 50, workWidth + 200, workHeight + 100, SW_SHOWNORMAL, false);
    RECT r = placed.Rect();
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
    EXPECT_EQ(r.right, work.right) << "shrunk to the work area";
    EXPECT_EQ(r.bottom, work.bottom);

    gui.PlaceInWorkArea(placed.window.Get(), work.right - 100, work.bottom - 50, 300, 200, SW_SHOWNORMAL,
                        false);
    r = placed.Rect();
    EXPECT_EQ(r.left, work.right - 300);
    EXPECT_EQ(r.top, work.bottom - 200);

    gui.PlaceInWorkArea(placed.window.Get(), work.left - 40, work.top - 30, 300, 200, SW_SHOWNORMAL, false);
    r = placed.Rect();
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_FALSE(::IsWindowVisible(placed.window.Get()));

    EXPECT_FALSE(gui.PlaceInWorkArea(placed.window.Get(), 30, 30, 300, 200, SW_SHOWNORMAL, true))
        << "ShowWindow's answer: the window was hidden before";
    EXPECT_TRUE(::IsWindowVisible(placed.window.Get()));
}

TEST(ShowState, FollowsMaximiseAndRestore) {
    GUI_Utils gui;
    Placed placed;
    ::ShowWindow(placed.window.Get(), SW_MAXIMIZE);
    EXPECT_EQ(gui.GetShowState(placed.window.Get()), SW_SHOWMAXIMIZED);
    ::ShowWindow(placed.window.Get(), SW_RESTORE);
    EXPECT_EQ(gui.GetShowState(placed.window.Get()), SW_SHOWNORMAL);
}

TEST(MessageFont, IsTheSystemMessageFont) {
    GUI_Utils gui;
    LOGFONTW described = {};
    ScopedGdiObj<HFONT> font(gui.CreateMessageFont(described));
    ASSERT_TRUE(font);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    EXPECT_EQ(memcmp(&described, &metrics.lfMessageFont, sizeof(LOGFONTW)), 0);
    LOGFONTW made = {};
    ::GetObjectW(font.Get(), sizeof(made), &made);
    EXPECT_EQ(made.lfHeight, described.lfHeight);
    EXPECT_STREQ(made.lfFaceName, described.lfFaceName);
}

} // namespace
