#include <gtest/gtest.h>
#include <climits>
#include <memory>
#include <vector>
#include "directory/AddressStore.h"
#include "gui/GUI_Objects.h"
#include "resources/ResourceIds.h"
#include "tests/gui/TestHost.h"

namespace {

const wchar_t kColumnSpec[] = L"Type,90,Username,120,Email Address,200,Distinguished Name,150";

TEST(SplitText, FieldsBetweenDelimiters) {
    GUI_Utils gui;
    std::vector<WideString> out = {L"stale"};
    gui.SplitText(L"a,b", L",", out);
    EXPECT_EQ(out, (std::vector<WideString>{L"a", L"b"}));
    gui.SplitText(L"a,,b", L",", out);
    EXPECT_EQ(out, (std::vector<WideString>{L"a", L"", L"b"}));
    gui.SplitText(L",a", L",", out);
    EXPECT_EQ(out, (std::vector<WideString>{L"", L"a"}));
    gui.SplitText(L"a,", L",", out);
    EXPECT_EQ(out, (std::vector<WideString>{L"a"})) << "no trailing empty field";
    gui.SplitText(L"", L",", out);
    EXPECT_TRUE(out.empty());
    gui.SplitText(L"a:::b::", L"::", out);
    EXPECT_EQ(out, (std::vector<WideString>{L"a", L":b"}));
}

TEST(ParseInt, LeadingDecimalNumber) {
    GUI_Utils gui;
    EXPECT_EQ(gui.ParseInt(L"90"), 90);
    EXPECT_EQ(gui.ParseInt(L"  \t120"), 120);
    EXPECT_EQ(gui.ParseInt(L"200px"), 200);
    EXPECT_EQ(gui.ParseInt(L"-15"), -15);
    EXPECT_EQ(gui.ParseInt(L"+7"), 7);
    EXPECT_EQ(gui.ParseInt(L""), 0);
    EXPECT_EQ(gui.ParseInt(L"abc"), 0);
    EXPECT_EQ(gui.ParseInt(L"99999999999"), INT32_MAX);
    EXPECT_EQ(gui.ParseInt(L"-99999999999"), INT32_MIN);
}

// A real virtual list view, made as the main window makes it, whose parent answers its
// requests from a real store. The host window serves the whole suite.
class ListView : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host = new TestHost(640, 300); }
    static void TearDownTestSuite() { delete host; }
    ~ListView() override {
        host->onNotify = nullptr;
        DestroyChildren(host->Window());
    }
    ListView() {
        font.Attach(gui.CreateMessageFont(logFont));
        LayoutColumn column;
        list = gui.CreateControl(0, L"SysListView32", L"",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_OWNERDATA | LVS_REPORT,
                                 0, LAYOUT_AUTO, 640, 292, host->Window(), IDC_LIST,
                                 ::GetModuleHandleW(nullptr), nullptr, font.Get(), column, {8, 0, 0, 0});
        ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        host->onNotify = [this](WPARAM id, NMHDR* header) -> LRESULT {
            if (id == IDC_LIST && header->code == LVN_GETDISPINFOW)
                store.FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
            return 0;
        };
    }

    void FillAllKinds() {
        const wchar_t* kinds[] = {L"mailuser", L"dist list", L"remote", L"forum", L"agent", L"unknown"};
        for (int code = 0; code <= 5; ++code) {
            const WideString name = L"User " + std::to_wstring(code),
                             email = L"user" + std::to_wstring(code) + L"@corvane.example",
                             dn = L"/o=Corvane/ou=Exchange/cn=Recipients/cn=user" + std::to_wstring(code);
            store.Append(
                {static_cast<EntryType>(code), EntryKind::Unknown, {}, kinds[code], name, email, dn});
        }
        ::SendMessageW(list, LVM_SETITEMCOUNT, store.Count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }

    // Asks the parent exactly as the list view does.
    LVITEMW Ask(int row, int subItem, UINT mask, wchar_t* buffer) {
        NMLVDISPINFOW info = {};
        info.hdr.hwndFrom = list;
        info.hdr.idFrom = IDC_LIST;
        info.hdr.code = LVN_GETDISPINFOW;
        info.item.mask = mask;
        info.item.iItem = row;
        info.item.iSubItem = subItem;
        info.item.iImage = -7;
        info.item.pszText = buffer;
        info.item.cchTextMax = 8;
        ::SendMessageW(host->Window(), WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&info));
        return info.item;
    }

    static TestHost* host;
    GUI_Objects gui;
    AddressStore store;
    LOGFONTW logFont = {};
    ScopedGdiObj<HFONT> font;
    HWND list = nullptr;
};
TestHost* ListView::host = nullptr;

TEST_F(ListView, ColumnSpecGivesFourColumns) {
    ASSERT_TRUE(gui.AddColumns(list, kColumnSpec));
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4);
    const wchar_t* names[] = {L"Type", L"Username", L"Email Address", L"Distinguished Name"};
    const int widths[] = {90, 120, 200, 150};
    for (int k = 0; k < 4; ++k) {
        wchar_t text[64] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(::SendMessageW(list, LVM_GETCOLUMNW, k, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, names[k]);
        EXPECT_EQ(column.cx, widths[k]);
        EXPECT_EQ(column.iSubItem, k);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
}

int ColumnWidth(HWND list, int k) {
    return static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, k, 0));
}
int ColumnCount(HWND list) {
    return static_cast<int>(::SendMessageW(reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0)),
                                           HDM_GETITEMCOUNT, 0, 0));
}

TEST_F(ListView, UnusualWidthFields) {
    ASSERT_TRUE(gui.AddColumns(list, L"A, 40,B,55px,C,,D,wide,"));
    ASSERT_EQ(ColumnCount(list), 4) << "a trailing comma adds nothing";
    EXPECT_EQ(ColumnWidth(list, 0), 40);
    EXPECT_EQ(ColumnWidth(list, 1), 55);
    EXPECT_EQ(ColumnWidth(list, 2), 0);
    EXPECT_EQ(ColumnWidth(list, 3), 0);
}

TEST_F(ListView, HeaderWithoutWidthIsNotReadPast) {
    ASSERT_TRUE(gui.AddColumns(list, L"A,40,Last"));
    ASSERT_EQ(ColumnCount(list), 2);
    EXPECT_EQ(ColumnWidth(list, 1), 0);
}

TEST_F(ListView, AnswersFromTheStore) {
    gui.AttachTypeIcons(list, ::GetModuleHandleW(nullptr));
    gui.AddColumns(list, kColumnSpec);
    FillAllKinds();
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 6);
    for (int row = 0; row < 6; ++row) {
        const AddressEntry* entry = store.At(row);
        const StoredText* texts[] = {&entry->typeText, &entry->userName, &entry->email,
                                     &entry->distinguishedName};
        for (int sub = 0; sub < 4; ++sub) {
            wchar_t buffer[128] = {};
            LVITEMW item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row;
            item.iSubItem = sub;
            item.pszText = buffer;
            item.cchTextMax = 128;
            ASSERT_TRUE(::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            EXPECT_EQ(WideString(item.pszText), *texts[sub]) << row << "," << sub;
            if (sub == 0) {
                EXPECT_EQ(item.iImage, row);
            }
        }
    }
}

TEST_F(ListView, RequestsThatGetNothing) {
    FillAllKinds();
    wchar_t buffer[8] = L"keep";
    LVITEMW none = Ask(-1, 0, LVIF_TEXT | LVIF_IMAGE, buffer);
    EXPECT_EQ(none.pszText, buffer);
    EXPECT_EQ(none.iImage, -7);
    EXPECT_EQ(none.lParam, 0);

    LVITEMW fifth = Ask(2, 4, LVIF_TEXT, buffer);
    EXPECT_EQ(fifth.pszText, buffer) << "sub-item 4 gets no text";
    EXPECT_STREQ(buffer, L"keep");

    LVITEMW third = Ask(2, 3, LVIF_TEXT, buffer);
    EXPECT_EQ(third.pszText, store.At(2)->distinguishedName.c_str()) << "the store's own text, not a copy";
}

// Draws image k of the list and icon resource id side by side on white and compares them.
bool SamePicture(HIMAGELIST images, int k, int id) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ScopedGdiObj<HBITMAP> canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, canvas.Get());
    RECT all = {0, 0, 32, 16};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::ImageList_Draw(images, k, dc, 0, 0, ILD_NORMAL);
    ScopedIcon icon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0)));
    ::DrawIconEx(dc, 16, 0, icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    bool same = true, drawn = false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint32_t listed = pixels[y * 32 + x] & 0xFFFFFF,
                           original = pixels[y * 32 + 16 + x] & 0xFFFFFF;
            same = same && listed == original;
            drawn = drawn || listed != 0xFFFFFF;
        }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return same && drawn;
}

TEST_F(ListView, TypeIconsComeThroughTheImageListUnchanged) {
    EXPECT_EQ(gui.AttachTypeIcons(list, ::GetModuleHandleW(nullptr)), nullptr);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(::ImageList_GetImageCount(images), 5) << "index 5 (unknown) lies past the images";
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(SamePicture(images, k, IDI_MAIL_USER + k)) << "image " << k;
}

// Whether anything but the background was painted in the row's icon box.
bool IconDrawn(HWND list, int row) {
    RECT box = {};
    box.left = LVIR_ICON;
    ::SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&box));
    ScopedGetDC dc(list);
    const COLORREF background = ::GetPixel(dc.Get(), box.right - 1, box.bottom - 1);
    int other = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            other += ::GetPixel(dc.Get(), x, y) != background;
    return other > 10;
}

TEST_F(ListView, UnknownEntriesShowNoIcon) {
    gui.AttachTypeIcons(list, ::GetModuleHandleW(nullptr));
    gui.AddColumns(list, kColumnSpec);
    FillAllKinds();
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPending();
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(IconDrawn(list, row)) << "row " << row;
    EXPECT_FALSE(IconDrawn(list, 5));
}

} // namespace
