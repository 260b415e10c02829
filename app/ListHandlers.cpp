// The list as a working tool: the row order the user chose, typing to find, copying rows
// and the right-click menu. Sorting and finding work on the window's own permutation of
// the store's indices; the store stays in arrival order.
#include <windowsx.h>
#include <algorithm>
#include "app/ClipboardRows.h"
#include "app/Form_Main.h"
#include "export/AddressListExport.h"
#include "export/ChooseFile.h"
#include "export/PumpMessages.h"
#include "resources/ResourceIds.h"

namespace {

bool ControlDown() {
    return ::GetKeyState(VK_CONTROL) < 0;
}

// Waits for a sort's threads while the window goes on painting and answering; a heading
// click meanwhile is turned away by the sort itself. Once the program is asked to end, the
// rest is waited for without dispatching: the main loop then ends it.
void WaitDispatching(const HANDLE* threads, DWORD count) {
    for (DWORD i = 0; i < count; ++i) {
        // Woken by any message waiting, not only a new one: Wine re-arms a timer only once
        // its WM_TIMER is taken, and the look for WM_QUIT below already saw that message.
        while (::MsgWaitForMultipleObjectsEx(1, &threads[i], INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
               WAIT_OBJECT_0 + 1) {
            PumpMessages();
            MSG quit;
            if (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
                return;
        }
    }
}

} // namespace

uint64_t Form_Main::ListRows() const {
    const LRESULT shown = ::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0);
    const uint64_t stored = store.Count();
    return shown < 0 ? 0 : std::min<uint64_t>(static_cast<uint64_t>(shown), stored);
}

int Form_Main::ListColumnCount() const {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(listView, LVM_GETHEADER, 0, 0));
    return std::max(0, static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)));
}

void Form_Main::ShowListColumns() {
    const columns::ColumnList shown = columns::ListColumns(store.Details());
    constexpr int kEntryColumns = static_cast<int>(columns::kListColumns);
    for (int k = ListColumnCount() - 1; k >= kEntryColumns; --k)
        ::SendMessageW(listView, LVM_DELETECOLUMN, static_cast<WPARAM>(k), 0);
    for (int k = ListColumnCount(); k < static_cast<int>(shown.count); ++k) {
        const columns::Column& column = columns::kColumns[shown[k]];
        InsertColumn(listView, k, column.heading, column.listWidth, dpi);
    }
}

LRESULT Form_Main::OnListNotify(NMHDR& header) {
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        const int row = item.iItem;
        item.iItem = static_cast<int>(order.StoreIndex(row));
        store.FillDisplayInfo(item);
        item.iItem = row;
        return 0;
    }
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        return 0;
    case LVN_ODFINDITEMW: {
        const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
        if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz)
            return -1;
        return order.Find(store, ListRows(), find.lvfi.psz, (find.lvfi.flags & LVFI_PARTIAL) != 0,
                          find.iStart, (find.lvfi.flags & LVFI_WRAP) != 0);
    }
    case LVN_KEYDOWN: {
        // Ctrl+A and Ctrl+C, as Windows' own lists take them, only while the list has the focus.
        const WORD key = reinterpret_cast<NMLVKEYDOWN&>(header).wVKey;
        if (ControlDown() && key == 'A')
            SelectAllRows();
        else if (ControlDown() && key == 'C')
            CopySelectedRows();
        return 0;
    }
    default:
        return 0;
    }
}

bool Form_Main::OnListCommand(WORD id) {
    switch (id) {
    case IDM_COPY:
        CopySelectedRows();
        return true;
    case IDM_SELECT_ALL:
        SelectAllRows();
        return true;
    case IDM_SAVE_CSV:
        SaveAsCsv();
        return true;
    default:
        return false;
    }
}

void Form_Main::SortByColumn(int column) {
    // A read still appends: its rows are shown as they arrive, unsorted. A click while a
    // sort runs is ignored.
    if (reading || sorting || column < 0 || column >= ListColumnCount())
        return;
    const bool descending = order.Column() == column && !order.Descending();
    // The focused entry stays focused, in its new row.
    const int64_t focusedRow =
        ::SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    const int64_t focused = focusedRow < 0 ? -1 : order.StoreIndex(focusedRow);
    // The list paints its old order until the new one is whole; Connect, which would free
    // the entries the sort reads, waits.
    sorting = true;
    EnableConnect();
    bool sorted = false;
    {
        ScopedWaitCursor wait;
        SortWork work;
        work.wait = WaitDispatching;
        sorted = order.Sort(store, ListRows(), column, descending, work);
    }
    sorting = false;
    EnableConnect();
    if (!sorted)
        return;
    ShowSortArrow();
    // The rows show other entries now: their selection and focus go. Wine's list view
    // clears "every row" one row at a time (most of a second at a million), so a few
    // selected rows and the focused one are cleared each on its own.
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    constexpr LRESULT kFewSelected = 64;
    if (::SendMessageW(listView, LVM_GETSELECTEDCOUNT, 0, 0) > kFewSelected) {
        ::SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    } else {
        LRESULT selected = -1;
        while ((selected = ::SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(selected),
                                          LVNI_SELECTED)) >= 0)
            ::SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(selected),
                           reinterpret_cast<LPARAM>(&none));
        if (focusedRow >= 0)
            ::SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(focusedRow),
                           reinterpret_cast<LPARAM>(&none));
    }
    const int64_t row = focused < 0 ? -1 : order.RowOf(focused);
    if (row >= 0) {
        LVITEMW item = {};
        item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        ::SendMessageW(listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }
    ::InvalidateRect(listView, nullptr, FALSE);
}

void Form_Main::ResetListOrder() {
    order.Reset();
    ShowSortArrow();
}

void Form_Main::ShowSortArrow() {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(listView, LVM_GETHEADER, 0, 0));
    const int count = ListColumnCount();
    for (int column = 0; column < count; ++column) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        if (!::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item)))
            continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == order.Column())
            item.fmt |= order.Descending() ? HDF_SORTDOWN : HDF_SORTUP;
        ::SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
}

void Form_Main::SelectAllRows() {
    LVITEMW all = {};
    all.state = all.stateMask = LVIS_SELECTED;
    ::SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
}

void Form_Main::CopySelectedRows() {
    const uint64_t rows = ListRows();
    const LRESULT selected = ::SendMessageW(listView, LVM_GETSELECTEDCOUNT, 0, 0);
    if (rows == 0 || selected <= 0)
        return;
    ScopedWaitCursor wait;
    std::vector<uint64_t> indices;
    if (static_cast<uint64_t>(selected) >= rows) {
        indices = order.Snapshot(rows);
    } else {
        indices.reserve(static_cast<size_t>(selected));
        for (LRESULT row = -1; (row = ::SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                     LVNI_SELECTED)) >= 0 &&
                               static_cast<uint64_t>(row) < rows;)
            indices.push_back(static_cast<uint64_t>(order.StoreIndex(row)));
    }
    CopyRowsToClipboard(window, store, indices);
}

bool Form_Main::OnContextMenu(HWND from, LPARAM position) {
    if (from != listView)
        return false;
    POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        // From the keyboard: below the focused row, or at the list's corner.
        RECT place = {};
        const LRESULT focused =
            ::SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
        place.left = LVIR_LABEL;
        if (focused < 0 || !::SendMessageW(listView, LVM_GETITEMRECT, static_cast<WPARAM>(focused),
                                           reinterpret_cast<LPARAM>(&place)))
            place = {};
        at = {place.left, place.bottom};
        ::ClientToScreen(listView, &at);
    }
    ScopedMenu popup(::CreatePopupMenu());
    const bool anySelected = ::SendMessageW(listView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    const auto enabled = [&](UINT command) {
        return !(::GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) ? MF_STRING : MF_STRING | MF_GRAYED;
    };
    ::AppendMenuW(popup.Get(), anySelected ? MF_STRING : MF_STRING | MF_GRAYED, IDM_COPY, L"&Copy\tCtrl+C");
    ::AppendMenuW(popup.Get(), ListRows() > 0 ? MF_STRING : MF_STRING | MF_GRAYED, IDM_SELECT_ALL,
                  L"Select &all\tCtrl+A");
    ::AppendMenuW(popup.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup.Get(), enabled(IDM_SAVE_CSV), IDM_SAVE_CSV, L"Save as CSV &file...");
    ::AppendMenuW(popup.Get(), enabled(IDM_COLUMNS), IDM_COLUMNS, L"Co&lumns...");
    // The chosen command arrives as WM_COMMAND, as from the main menu.
    ::TrackPopupMenuEx(popup.Get(), TPM_RIGHTBUTTON, at.x, at.y, window, nullptr);
    return true;
}

namespace {

// The folder part of a chosen path, its last backslash kept.
WideString FolderOf(const WideString& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == WideString::npos ? WideString() : path.substr(0, slash + 1);
}

} // namespace

WideString Form_Main::SaveFolder() const {
    return lastSaveFolder.empty() ? DefaultExportFolder() : lastSaveFolder;
}

FileChooser Form_Main::RememberingChooser(const FileChooser& choose) {
    // Only for this run: the program keeps nothing between runs.
    return
        [this, choose](HWND owner, WideString& folder, const WideString& fileName, const WideString& title) {
            const bool chosen = choose(owner, folder, fileName, title);
            if (chosen)
                lastSaveFolder = FolderOf(folder);
            return chosen;
        };
}

void Form_Main::SaveAsText() {
    Exporting(true);
    ExportAddressListWith(store, window, RememberingChooser(::ChooseFile));
    Exporting(false);
}

void Form_Main::SaveAsCsv() {
    // Sorted, the rows go in the list's order; unsorted in the store's, which a running
    // read may still extend, as the pipe export's does.
    const bool sorted = order.Column() != ListOrder::kUnsorted;
    std::vector<uint64_t> rows;
    if (sorted)
        rows = order.Snapshot(ListRows());
    WideString path = SaveFolder();
    Exporting(true);
    ExportCsvWith(store, window, sorted ? &rows : nullptr, path, RememberingChooser(ChooseCsvFile));
    Exporting(false);
}
