#include <gtest/gtest.h>
#include "app/ClipboardRows.h"
#include "base/ScopedWin.h"
#include "directory/AddressStore.h"

namespace {

WideString ClipboardText(HWND owner) {
    WideString text;
    if (!::OpenClipboard(owner))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        const LockedGlobal locked(data);
        if (locked.Get())
            text = static_cast<const wchar_t*>(locked.Get());
    }
    ::CloseClipboard();
    return text;
}

// Rows copied as the copy command has always put them: the header, then one line a row in
// the given order, with the formula guard and the tabs and line breaks of fields turned
// into spaces.
TEST(ClipboardRows, CopiesTheRowsInTheirOrderAsTabSeparatedText) {
    AddressStore store;
    store.Append({EntryType::MailUser,
                  EntryKind::MailboxUser,
                  {},
                  L"mailuser",
                  L"Zoë Ångström",
                  L"zoe@example.com",
                  L"/o=Org/cn=zoe"});
    store.Append({EntryType::DistList,
                  EntryKind::SecurityGroup,
                  {},
                  L"dist list",
                  L"=SUM(A1)",
                  L"+1\t2",
                  L"-dn\r\nnext"});
    store.Append({EntryType::Unknown, EntryKind::Unknown, {}, L"unknown", L"", L"@x", L"\ttab"});
    store.Append({EntryType::Remote,
                  EntryKind::RemoteMailUser,
                  {},
                  L"remote",
                  L"𠮷 Yoshi, \"Taro\"",
                  L"\rcr",
                  L"a\nb"});
    ScopedWindow owner(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(owner);

    ASSERT_TRUE(CopyRowsToClipboard(owner.Get(), store, {3, 1, 0, 2, 7}));
    EXPECT_EQ(ClipboardText(owner.Get()),
              L"Type\tUsername\tEmail Address\tDistinguished Name\tKind\r\n"
              L"remote\t𠮷 Yoshi, \"Taro\"\t' cr\ta b\tremote mail user\r\n"
              L"dist list\t'=SUM(A1)\t'+1 2\t'-dn  next\tsecurity group\r\n"
              L"mailuser\tZoë Ångström\tzoe@example.com\t/o=Org/cn=zoe\tmailbox user\r\n"
              L"unknown\t\t'@x\t' tab\tunknown\r\n");

    ASSERT_TRUE(CopyRowsToClipboard(owner.Get(), store, {}));
    EXPECT_EQ(ClipboardText(owner.Get()), L"Type\tUsername\tEmail Address\tDistinguished Name\tKind\r\n");
}

} // namespace
