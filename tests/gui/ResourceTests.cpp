#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "base/Strings.h"
#include "resources/ResourceIds.h"

namespace {

HINSTANCE Self() {
    return ::GetModuleHandleW(nullptr);
}

std::string ResourceBytes(const wchar_t* name, const wchar_t* type) {
    HRSRC found = ::FindResourceW(Self(), name, type);
    if (!found)
        return {};
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(Self(), found)));
    return std::string(data, ::SizeofResource(Self(), found));
}

struct MenuItem {
    WideString text;
    UINT id = 0;
    UINT type = 0;
    UINT state = 0;
};

MenuItem ItemAt(HMENU menu, int position) {
    wchar_t text[64] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    info.dwTypeData = text;
    info.cch = 64;
    ::GetMenuItemInfoW(menu, position, TRUE, &info);
    return {text, info.wID, info.fType, info.fState};
}

TEST(Resources, MainMenu) {
    HMENU menu = ::LoadMenuW(Self(), MAKEINTRESOURCEW(200));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 3);
    EXPECT_EQ(ItemAt(menu, 0).text, L"&File");
    EXPECT_EQ(ItemAt(menu, 1).text, L"&View");
    EXPECT_EQ(ItemAt(menu, 2).text, L"&Help");

    HMENU file = ::GetSubMenu(menu, 0);
    ASSERT_EQ(::GetMenuItemCount(file), 5);
    EXPECT_EQ(ItemAt(file, 0).text, L"&Connect");
    EXPECT_EQ(ItemAt(file, 0).id, 1230u);
    EXPECT_EQ(ItemAt(file, 0).state & MFS_GRAYED, 0u);
    EXPECT_EQ(ItemAt(file, 1).text, L"&Save to txt file");
    EXPECT_EQ(ItemAt(file, 1).id, 202u);
    EXPECT_NE(ItemAt(file, 1).state & MFS_GRAYED, 0u);
    EXPECT_EQ(ItemAt(file, 2).text, L"Save &as CSV file...");
    EXPECT_EQ(ItemAt(file, 2).id, 204u);
    EXPECT_NE(ItemAt(file, 2).state & MFS_GRAYED, 0u);
    EXPECT_TRUE(ItemAt(file, 3).type & MFT_SEPARATOR);
    EXPECT_EQ(ItemAt(file, 4).text, L"E&xit");
    EXPECT_EQ(ItemAt(file, 4).id, 203u);
    EXPECT_EQ(ItemAt(file, 4).state & MFS_GRAYED, 0u);

    HMENU view = ::GetSubMenu(menu, 1);
    ASSERT_EQ(::GetMenuItemCount(view), 1);
    EXPECT_EQ(ItemAt(view, 0).text, L"&Columns...");
    EXPECT_EQ(ItemAt(view, 0).id, 207u);

    HMENU help = ::GetSubMenu(menu, 2);
    ASSERT_EQ(::GetMenuItemCount(help), 1);
    EXPECT_EQ(ItemAt(help, 0).text, L"&About");
    EXPECT_EQ(ItemAt(help, 0).id, 603u);
    ::DestroyMenu(menu);
}

TEST(Resources, Hotkeys) {
    HACCEL table = ::LoadAcceleratorsW(Self(), L"HOTKEYS");
    ASSERT_NE(table, nullptr);
    ACCEL entries[4] = {};
    ASSERT_EQ(::CopyAcceleratorTableW(table, entries, 4), 3);
    EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FNOINVERT);
    EXPECT_EQ(entries[0].key, VK_F11);
    EXPECT_EQ(entries[0].cmd, 1300);
    EXPECT_EQ(entries[1].fVirt, FVIRTKEY);
    EXPECT_EQ(entries[1].key, VK_F1);
    EXPECT_EQ(entries[1].cmd, 603);
    EXPECT_EQ(entries[2].fVirt, FCONTROL | FNOINVERT) << "a character code, not a virtual key";
    EXPECT_EQ(entries[2].key, 23);
    EXPECT_EQ(entries[2].cmd, 203);
}

TEST(Resources, AboutDialogShell) {
    const std::string bytes = ResourceBytes(MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG);
    ASSERT_FALSE(bytes.empty());
#pragma pack(push, 1)
    struct PackedHead {
        WORD version, signature;
        DWORD helpId, exStyle, style;
        WORD items;
        short x, y, cx, cy;
    };
#pragma pack(pop)
    ASSERT_GE(bytes.size(), sizeof(PackedHead));
    PackedHead head;
    memcpy(&head, bytes.data(), sizeof(head));
    EXPECT_EQ(head.version, 1);
    EXPECT_EQ(head.signature, 0xFFFF);
    EXPECT_EQ(head.helpId, 0u);
    EXPECT_EQ(head.exStyle, 0u);
    EXPECT_EQ(head.style, 0x80C80088u);
    EXPECT_EQ(head.items, 0);
    EXPECT_EQ(head.x, 10);
    EXPECT_EQ(head.y, 10);
    EXPECT_EQ(head.cx, 100);
    EXPECT_EQ(head.cy, 100);
    // No menu, the standard class, the caption, and nothing after it (no font record).
    const std::wstring rest(reinterpret_cast<const wchar_t*>(bytes.data() + sizeof(head)),
                            (bytes.size() - sizeof(head)) / 2);
    EXPECT_EQ(rest, std::wstring(L"\0\0About\0", 8));
}

TEST(Resources, ManifestAsksForCommonControls6) {
    const std::string manifest = ResourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    for (const char* part :
         {"type=\"win32\" name=\"Corvane.Rostermint\" version=\"1.0.0.0\"",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", ">true/pm</dpiAware>",
          ">PerMonitorV2, PerMonitor</dpiAwareness>", "level=\"asInvoker\" uiAccess=\"false\"",
          "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;

    // The loader honoured it: this process's comctl32 is the side-by-side version 6.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    const WideString loaded = path;
    EXPECT_NE(loaded.find(L"common-controls"), WideString::npos) << loaded;
    EXPECT_NE(loaded.find(L"_6.0."), WideString::npos) << loaded;
}

TEST(Resources, IconsAreOne16PixelImageAt32Bits) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    std::vector<const wchar_t*> groups = {L"MAINICON"};
    for (int id = IDI_APPLICATION_ICON; id <= IDI_AGENT; ++id)
        groups.push_back(MAKEINTRESOURCEW(id));
    for (const wchar_t* group : groups) {
        const std::string bytes = ResourceBytes(group, RT_GROUP_ICON);
        ASSERT_EQ(bytes.size(), 6 + sizeof(GroupEntry));
        EXPECT_EQ(*reinterpret_cast<const WORD*>(bytes.data() + 4), 1) << "one image";
        GroupEntry entry;
        memcpy(&entry, bytes.data() + 6, sizeof(entry));
        EXPECT_EQ(entry.width, 16);
        EXPECT_EQ(entry.height, 16);
        EXPECT_EQ(entry.bitCount, 32);
    }
    EXPECT_EQ(::FindResourceW(Self(), MAKEINTRESOURCEW(106), RT_GROUP_ICON), nullptr);
}

TEST(Resources, AboutPicturesAt24Bits) {
    const struct { int id, width, height; } pictures[] = {{800, 87, 231}, {801, 108, 288}};
    for (const auto& picture : pictures) {
        const std::string bytes = ResourceBytes(MAKEINTRESOURCEW(picture.id), RT_BITMAP);
        ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        memcpy(&header, bytes.data(), sizeof(header));
        EXPECT_EQ(header.biWidth, picture.width);
        EXPECT_EQ(header.biHeight, picture.height);
        EXPECT_EQ(header.biBitCount, 24);
    }
}

} // namespace
