#include "base/ScopedWin.h"
#include "gui/GUI_Objects.h"
#include "resources/ResourceIds.h"

HIMAGELIST GUI_Objects::AttachTypeIcons(HWND listView, HINSTANCE instance, int32_t dpi) const {
    const int size = ScaleForDpi(16, dpi);
    HIMAGELIST icons = ::ImageList_Create(size, size, ILC_MASK, 1, 1);
    for (int id = IDI_MAIL_USER; id <= IDI_AGENT; ++id) {
        // Loaded at the list's size rather than the system icon size: the 16-pixel pictures
        // come through unscaled at 96 dpi, and twice as large at 192 pixel for pixel.
        ScopedIcon icon(static_cast<HICON>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        ::ImageList_ReplaceIcon(icons, -1, icon.Get());
    }
    // The list view owns the image list from here on (no LVS_SHAREIMAGELISTS).
    return reinterpret_cast<HIMAGELIST>(
        ::SendMessageW(listView, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons)));
}

bool GUI_Objects::AddColumns(HWND listView, WideString columnSpec, int32_t dpi) const {
    std::vector<WideString> fields;
    SplitText(columnSpec, L",", fields);
    for (size_t k = 0; 2 * k < fields.size(); ++k) {
        // A last header without a width gets none, like an empty width field.
        const int32_t width = 2 * k + 1 < fields.size() ? ParseInt(fields[2 * k + 1]) : 0;
        if (!InsertColumn(listView, static_cast<int>(k), fields[2 * k].c_str(), width, dpi))
            return false;
    }
    return true;
}

bool GUI_Objects::InsertColumn(HWND listView, int index, const wchar_t* heading, int32_t width,
                               int32_t dpi) const {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<wchar_t*>(heading);
    column.cx = ScaleForDpi(width, dpi);
    column.iSubItem = index;
    return ::SendMessageW(listView, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)) != -1;
}
