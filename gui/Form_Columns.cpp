#include "gui/Form_Columns.h"
#include <algorithm>
#include "resources/ResourceIds.h"

namespace {

const wchar_t kIntroText[] = L"Read these directory details as list columns:";
const wchar_t kNextConnectText[] = L"The chosen columns are read at the next Connect.";
// Ten boxes a column, read top to bottom: three columns keep the box low enough for a
// laptop's screen at 200 %.
constexpr size_t kBoxesPerColumn = 10;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

} // namespace

bool Form_Columns::Run(HINSTANCE instanceHandle, HWND ownerWindow, details::DetailSet& chosen, bool shown) {
    instance = instanceHandle;
    owner = ownerWindow;
    checked = chosen;
    listShown = shown;
    if (::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COLUMNS), owner, DialogProc,
                          reinterpret_cast<LPARAM>(this)) != IDOK)
        return false;
    chosen = checked;
    return true;
}

INT_PTR CALLBACK Form_Columns::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Form_Columns*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        if (message != WM_INITDIALOG)
            return FALSE;
        self = reinterpret_cast<Form_Columns*>(lParam);
        self->window = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return self->OnMessage(message, wParam, lParam);
}

INT_PTR Form_Columns::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        dpi = GetWindowDpi(window);
        BuildControls();
        // Centred over the owner, inside the work area of the monitor it is on.
        RECT box = {}, over = {};
        ::GetWindowRect(window, &box);
        ::GetWindowRect(owner, &over);
        const int32_t width = box.right - box.left, height = box.bottom - box.top;
        PlaceInWorkArea(window, over.left + (over.right - over.left - width) / 2,
                        over.top + (over.bottom - over.top - height) / 2, width, height, SW_SHOWNORMAL,
                        false);
        // FALSE: the focus is set here, on the first box, not by the dialog manager.
        ::SetFocus(boxes[0]);
        return FALSE;
    }
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            checked = CheckedBoxes();
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        ::EndDialog(window, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

details::DetailSet Form_Columns::CheckedBoxes() const {
    details::DetailSet set = 0;
    for (size_t i = 0; i < details::kCount; ++i) {
        if (::SendMessageW(boxes[i], BM_GETCHECK, 0, 0) == BST_CHECKED)
            set |= details::DetailSet(1) << i;
    }
    return set;
}

void Form_Columns::OnDpiChanged(int32_t newDpi, const RECT& suggested) {
    // Built again at the new size, where the system suggests; the user's checks and the
    // focused control stay.
    dpi = newDpi;
    checked = CheckedBoxes();
    const int focusedId = ::GetDlgCtrlID(::GetFocus());
    while (HWND child = ::GetWindow(window, GW_CHILD))
        ::DestroyWindow(child);
    BuildControls();
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND focus = focusedId ? ::GetDlgItem(window, focusedId) : nullptr;
    ::SetFocus(focus ? focus : boxes[0]);
}

void Form_Columns::BuildControls() {
    font.Attach(CreateMessageFont(logFont, dpi));
    HFONT f = font.Get();
    // The layout's distances are those at 96 dpi.
    const auto px = [&](int32_t pixels) { return ScaleForDpi(pixels, dpi); };
    constexpr int32_t A = LAYOUT_AUTO;
    const int32_t th = MeasureTextHeight(L"Ag", f);
    // Every control is placed explicitly; the columns only take the factory's bookkeeping.
    LayoutColumn placed, grid;

    CreateControl(0, L"Static", kIntroText, kChild, px(8), px(8), A, A, window, 0, instance, nullptr, f,
                  placed, {});

    // Each box wide enough for the longest heading beside its square (13 pixels at 96 dpi).
    int32_t textWidth = 0;
    for (size_t i = 0; i < details::kCount; ++i)
        textWidth = std::max(textWidth, MeasureTextWidth(details::kCatalogue[i].heading, f));
    const int32_t boxWidth = px(24) + textWidth;
    const int32_t boxHeight = th + px(4);
    const int32_t gridTop = px(8) + th + px(8);
    const int32_t columnStep = boxWidth + px(16);
    for (size_t i = 0; i < details::kCount; ++i) {
        const int32_t column = static_cast<int32_t>(i / kBoxesPerColumn);
        const int32_t row = static_cast<int32_t>(i % kBoxesPerColumn);
        // One group, every box a tab stop: Tab walks them in the catalogue's order.
        const DWORD style = kChild | WS_TABSTOP | BS_AUTOCHECKBOX | (i == 0 ? WS_GROUP : 0);
        boxes[i] = CreateControl(0, L"Button", details::kCatalogue[i].heading, style,
                                 px(16) + column * columnStep, gridTop + row * (boxHeight + px(2)), boxWidth,
                                 boxHeight, window, IDC_FIRST_DETAIL_BOX + i, instance, nullptr, f, grid, {});
        ::SendMessageW(boxes[i], BM_SETCHECK, (checked >> i) & 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    const int32_t columns = static_cast<int32_t>((details::kCount + kBoxesPerColumn - 1) / kBoxesPerColumn);
    const int32_t gridRight = px(16) + (columns - 1) * columnStep + boxWidth;
    int32_t y = gridTop + static_cast<int32_t>(kBoxesPerColumn) * (boxHeight + px(2)) + px(6);
    int32_t right = std::max(gridRight, px(8) + MeasureTextWidth(kIntroText, f));
    if (listShown) {
        CreateControl(0, L"Static", kNextConnectText, kChild | WS_GROUP, px(8), y, A, A, window, 0, instance,
                      nullptr, f, placed, {});
        y += th + px(8);
        right = std::max(right, px(8) + MeasureTextWidth(kNextConnectText, f));
    }

    // OK and Cancel at the bottom right, OK the default.
    const int32_t buttonWidth = std::max(px(75), 2 * MeasureTextWidth(L"Cancel", f));
    const int32_t buttonHeight = th + th / 2 + px(4);
    const int32_t cancelLeft = right - buttonWidth;
    const int32_t okLeft = cancelLeft - px(6) - buttonWidth;
    CreateControl(0, L"Button", L"OK", kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, okLeft, y,
                  buttonWidth, buttonHeight, window, IDOK, instance, nullptr, f, placed, {});
    CreateControl(0, L"Button", L"Cancel", kChild | WS_TABSTOP, cancelLeft, y, buttonWidth, buttonHeight,
                  window, IDCANCEL, instance, nullptr, f, placed, {});

    // The frame the system draws around the client area at this resolution.
    RECT outer = {}, client = {};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    const int32_t frameWidth = (outer.right - outer.left) - client.right;
    const int32_t frameHeight = (outer.bottom - outer.top) - client.bottom;
    ::SetWindowPos(window, nullptr, 0, 0, right + px(8) + frameWidth, y + buttonHeight + px(8) + frameHeight,
                   SWP_NOMOVE | SWP_NOZORDER);
}
