#include "app/Form_Main.h"
#include "resources/ResourceIds.h"

namespace {

const wchar_t kIntroText[] = L"This utility will connect to your Exchange server using an existing Outlook "
                             L"profile. Press the 'Connect' button to choose your profile.";
const wchar_t kColumns[] = L"Type,90,Username,120,Email Address,200,Distinguished Name,150";
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// Where the counters stand in the group box, and how wide they are.
constexpr int32_t kCountsLeft = 256;
constexpr int32_t kCountWidth = 60;

} // namespace

void Form_Main::BuildControls(HWND parent, HINSTANCE instanceHandle) {
    LOGFONTW logFont = {};
    font.Attach(CreateMessageFont(logFont));
    HFONT f = font.Get();
    RECT client = {};
    ::GetClientRect(parent, &client);
    const int32_t W = client.right;
    const int32_t H = client.bottom;
    const auto th = [&](const wchar_t* text) { return MeasureTextHeight(text, f); };
    const auto tw = [&](const wchar_t* text) { return MeasureTextWidth(text, f); };

    LayoutColumn mainColumn, labelColumn, countColumn;
    // A control in a column: position and size may be LAYOUT_AUTO.
    const auto add = [&](DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                         UINT_PTR id, HWND owner, LayoutColumn& column, LayoutMargins margins, int32_t x,
                         int32_t y, int32_t width, int32_t height) {
        return CreateControl(exStyle, className, text, kChild | style, x, y, width, height, owner, id,
                             instanceHandle, nullptr, f, column, margins);
    };
    constexpr int32_t A = LAYOUT_AUTO;

    introText =
        add(0, L"Static", kIntroText, 0, 0, parent, mainColumn, {8, 8}, A, A, W - 16, 2 * th(kIntroText));
    const int32_t t = th(L"Connect");
    connectButton = add(0, L"Button", L"Connect", WS_TABSTOP | BS_DEFPUSHBUTTON, IDM_CONNECT, parent,
                        mainColumn, {8, 0}, A, A, 2 * tw(L"Connect"), t + t / 2 + 3);
    galGroup = add(0, L"Button", L" Global Address List ", WS_TABSTOP | BS_GROUPBOX, 0, parent, mainColumn,
                   {8, 0}, A, A, W - 16, 0);

    mailUsersLabel = add(0, L"Static", L"Mail Users:", 0, 0, galGroup, labelColumn, {24, 16}, A, A, A, A);
    distListsLabel =
        add(0, L"Static", L"Distribution Lists:", 0, 0, galGroup, labelColumn, {8, 0}, A, A, A, A);
    forumLabel = add(0, L"Static", L"Forum:", 0, 0, galGroup, labelColumn, {8, 0}, A, A, A, A);
    agentsLabel = add(0, L"Static", L"Agents:", 0, 0, galGroup, labelColumn, {8, 0}, A, A, A, A);
    remoteUsersLabel =
        add(0, L"Static", L"Remote Mail Users:", 0, 0, galGroup, labelColumn, {8, 0}, A, A, A, A);
    totalSeparator =
        add(WS_EX_STATICEDGE, L"Static", L"", 0, 0, galGroup, labelColumn, {8, 0}, A, A, W - kCountsLeft, 1);
    totalLabel = add(0, L"Static", L"Total GAL Items:", 0, 0, galGroup, labelColumn, {8, 0}, A, A, A, A);

    HWND* counts[] = {&mailUsersCount, &distListsCount,   &forumCount,
                      &agentsCount,    &remoteUsersCount, &totalCount};
    for (size_t k = 0; k < 6; ++k) {
        // The first five stand level with their labels; the total sits below the separator.
        const LayoutMargins margins =
            k == 0 ? LayoutMargins{24, kCountsLeft} : LayoutMargins{k == 5 ? 17 : 8, 0};
        *counts[k] = add(0, L"Static", L"0", 0, 0, galGroup, countColumn, margins, A, A, kCountWidth, A);
    }

    // The group box encloses its labels; the main column goes on below it.
    ::SetWindowPos(galGroup, nullptr, 0, 0, W - 16, labelColumn.nextY + 8, SWP_NOZORDER | SWP_NOMOVE);
    mainColumn.nextY += labelColumn.nextY + 8;

    dnEdit = add(WS_EX_CLIENTEDGE, L"Edit", L"LegacyExchangeDN", WS_TABSTOP | ES_READONLY, IDC_DN_EDIT,
                 parent, mainColumn, {8, 0}, A, A, W - 16, th(L"LegacyExchangeDN") + 8);
    // The status bar places itself along the bottom edge and takes no room in the column.
    statusBar = add(0, L"msctls_statusbar32", L"Ready", WS_BORDER | SBARS_SIZEGRIP, IDC_STATUS, parent,
                    mainColumn, {0, 0}, -100, -100, 10, 10);
    const int32_t S = mainColumn.lastHeight;
    mainColumn.nextY -= S;
    const int32_t N = mainColumn.nextY;
    listView = add(0, L"SysListView32", L"", WS_BORDER | WS_TABSTOP | LVS_OWNERDATA | LVS_REPORT, IDC_LIST,
                   parent, mainColumn, {8, 0}, 0, A, W, H - S - N - 8);
    listTop = mainColumn.nextY - mainColumn.lastHeight - 2;

    ::SendMessageW(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    AttachTypeIcons(listView, instanceHandle);
    AddColumns(listView, kColumns);
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
        ::SetWindowPos(control, nullptr, 0, 0, W - 16, r.bottom - r.top, SWP_NOZORDER | SWP_NOMOVE);
    }
    ::SetWindowPos(listView, nullptr, 0, 0, W, clientHeight - listTop - S, SWP_NOZORDER | SWP_NOMOVE);
    ::InvalidateRect(window, nullptr, FALSE);
}
