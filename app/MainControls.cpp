#include "app/Form_Main.h"
#include "resources/ResourceIds.h"

namespace {

const wchar_t kIntroText[] = L"This utility will connect to your Exchange server using an existing Outlook "
                             L"profile. Press the 'Connect' button to choose your profile.";
const wchar_t kListName[] = L"Global Address List";
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// Where the counters stand in the group box, and how wide they are, at 96 dpi.
constexpr int32_t kCountsLeft = 256;
constexpr int32_t kCountWidth = 60;

} // namespace

void Form_Main::BuildControls(HWND parent, HINSTANCE instanceHandle, int32_t previousDpi) {
    LOGFONTW logFont = {};
    // The controls hold the old font until each is given the new one.
    const ScopedGdiObj<HFONT> previousFont(font.Detach());
    font.Attach(CreateMessageFont(logFont, dpi));
    HFONT f = font.Get();
    RECT client = {};
    ::GetClientRect(parent, &client);
    const int32_t W = client.right;
    const int32_t H = client.bottom;
    const auto th = [&](const wchar_t* text) { return MeasureTextHeight(text, f); };
    const auto tw = [&](const wchar_t* text) { return MeasureTextWidth(text, f); };
    // The layout's distances are those at 96 dpi.
    const auto px = [&](int32_t pixels) { return ScaleForDpi(pixels, dpi); };
    const auto margins = [&](int32_t top, int32_t left) { return LayoutMargins{px(top), px(left)}; };

    LayoutColumn mainColumn, labelColumn, countColumn;
    // A control in a column: position and size may be LAYOUT_AUTO. Made the first time,
    // moved and given the new font when the layout is done again.
    const auto add = [&](HWND& control, DWORD exStyle, const wchar_t* className, const wchar_t* text,
                         DWORD style, UINT_PTR id, HWND owner, LayoutColumn& column, LayoutMargins space,
                         int32_t x, int32_t y, int32_t width, int32_t height) {
        if (control)
            PlaceControl(control, text, x, y, width, height, f, column, space);
        else
            control = CreateControl(exStyle, className, text, kChild | style, x, y, width, height, owner, id,
                                    instanceHandle, nullptr, f, column, space);
    };
    constexpr int32_t A = LAYOUT_AUTO;

    add(introText, 0, L"Static", kIntroText, 0, 0, parent, mainColumn, margins(8, 8), A, A, W - px(16),
        2 * th(kIntroText));
    const int32_t t = th(L"Connect");
    add(connectButton, 0, L"Button", L"Connect", WS_TABSTOP | BS_DEFPUSHBUTTON, IDM_CONNECT, parent,
        mainColumn, margins(8, 0), A, A, 2 * tw(L"Connect"), t + t / 2 + px(3));
    // Not a tab stop: the keyboard moves between Connect, the DN box and the list.
    add(galGroup, 0, L"Button", L" Global Address List ", BS_GROUPBOX, 0, parent, mainColumn, margins(8, 0),
        A, A, W - px(16), 0);

    // Each counter follows its label in the z order, so a screen reader reads them as pairs.
    // The first five stand level with their labels; the total sits below the separator.
    const struct {
        HWND& label;
        const wchar_t* text;
        HWND& count;
        LayoutMargins labelSpace, countSpace;
    } rows[] = {
        {mailUsersLabel, L"Mail Users:", mailUsersCount, margins(24, 16), margins(24, kCountsLeft)},
        {distListsLabel, L"Distribution Lists:", distListsCount, margins(8, 0), margins(8, 0)},
        {forumLabel, L"Forum:", forumCount, margins(8, 0), margins(8, 0)},
        {agentsLabel, L"Agents:", agentsCount, margins(8, 0), margins(8, 0)},
        {remoteUsersLabel, L"Remote Mail Users:", remoteUsersCount, margins(8, 0), margins(8, 0)},
        // Below the separator's line, one pixel lower than its label, as at 96 dpi.
        {totalLabel, L"Total GAL Items:", totalCount, margins(8, 0), {2 * px(8) + 1, 0}},
    };
    for (const auto& row : rows) {
        if (&row.label == &totalLabel)
            add(totalSeparator, WS_EX_STATICEDGE, L"Static", L"", 0, 0, galGroup, labelColumn, margins(8, 0),
                A, A, W - px(kCountsLeft), 1);
        add(row.label, 0, L"Static", row.text, 0, 0, galGroup, labelColumn, row.labelSpace, A, A, A, A);
        add(row.count, 0, L"Static", L"0", 0, 0, galGroup, countColumn, row.countSpace, A, A, px(kCountWidth),
            A);
    }

    // The group box encloses its labels; the main column goes on below it.
    ::SetWindowPos(galGroup, nullptr, 0, 0, W - px(16), labelColumn.nextY + px(8), SWP_NOZORDER | SWP_NOMOVE);
    mainColumn.nextY += labelColumn.nextY + px(8);

    add(dnEdit, WS_EX_CLIENTEDGE, L"Edit", L"LegacyExchangeDN", WS_TABSTOP | ES_READONLY, IDC_DN_EDIT, parent,
        mainColumn, margins(8, 0), A, A, W - px(16), th(L"LegacyExchangeDN") + px(8));
    // The status bar places itself along the bottom edge and takes no room in the column.
    if (statusBar) {
        ::SendMessageW(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
    } else {
        add(statusBar, 0, L"msctls_statusbar32", L"Ready", WS_BORDER | SBARS_SIZEGRIP, IDC_STATUS, parent,
            mainColumn, {0, 0}, -100, -100, 10, 10);
        mainColumn.nextY -= mainColumn.lastHeight;
    }
    // Placed for the font it now has.
    ::SendMessageW(statusBar, WM_SIZE, 0, 0);
    RECT bar = {};
    ::GetClientRect(statusBar, &bar);
    const int32_t S = bar.bottom;
    const int32_t N = mainColumn.nextY;
    const bool building = listView == nullptr;
    // The text is the list's name for screen readers; a report view shows none.
    add(listView, 0, L"SysListView32", kListName, WS_BORDER | WS_TABSTOP | LVS_OWNERDATA | LVS_REPORT,
        IDC_LIST, parent, mainColumn, margins(8, 0), 0, A, W, H - S - N - px(8));
    listTop = mainColumn.nextY - mainColumn.lastHeight - 2;

    if (building) {
        ::SendMessageW(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        AttachTypeIcons(listView, instanceHandle, dpi);
        ShowListColumns();
        return;
    }
    // The list view gives up its old image list, which is ours to destroy.
    ScopedImageList previous(AttachTypeIcons(listView, instanceHandle, dpi));
    const int columns = ListColumnCount();
    for (int k = 0; previousDpi > 0 && k < columns; ++k) {
        const int width = static_cast<int>(::SendMessageW(listView, LVM_GETCOLUMNWIDTH, k, 0));
        ::SendMessageW(listView, LVM_SETCOLUMNWIDTH, k, MAKELPARAM(::MulDiv(width, dpi, previousDpi), 0));
    }
    ::InvalidateRect(window, nullptr, TRUE);
}

void Form_Main::OnDpiChanged(int32_t newDpi, const RECT& suggested) {
    const int32_t previousDpi = dpi;
    dpi = newDpi;
    // Before the controls exist, start-up is placing the window at its monitor's size itself.
    if (!listView || newDpi == previousDpi)
        return;
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    BuildControls(window, instance, previousDpi);
}

void Form_Main::ResizeControls(int32_t type) {
    // Nothing to lay out while minimised, nor before the controls exist.
    if (type == SIZE_MINIMIZED || clientWidth == 0 || clientHeight == 0 || listTop == 0)
        return;
    ::SendMessageW(statusBar, WM_SIZE, 0, 0);
    RECT bar = {};
    ::GetWindowRect(statusBar, &bar);
    const int32_t S = bar.bottom - bar.top;
    RECT client = {};
    ::GetClientRect(window, &client);
    const int32_t W = client.right;
    // Only the widths of these follow the window; everything above the list keeps its place.
    for (HWND control : {introText, galGroup, dnEdit}) {
        RECT r = {};
        ::GetWindowRect(control, &r);
        ::SetWindowPos(control, nullptr, 0, 0, W - ScaleForDpi(16, dpi), r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOMOVE);
    }
    // listTop lies 2 pixels above the list's top edge: the list ends where the bar begins.
    ::SetWindowPos(listView, nullptr, 0, 0, W, clientHeight - (listTop + 2) - S, SWP_NOZORDER | SWP_NOMOVE);
    ::InvalidateRect(window, nullptr, FALSE);
}
