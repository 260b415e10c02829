#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include "directory/AddressStore.h"
#include "tests/support/LiveAllocations.h"

namespace {

void AppendEntry(AddressStore& store, int64_t code, const WideString& name) {
    NewEntry entry;
    entry.type = static_cast<EntryType>(code);
    const WideString typeText = L"type" + std::to_wstring(code), email = name + L"@example.com",
                     distinguishedName = L"/o=Org/cn=" + name;
    entry.typeText = typeText;
    entry.userName = name;
    entry.email = email;
    entry.distinguishedName = distinguishedName;
    store.Append(entry);
}

LVITEMW Item(int row, int subItem, UINT mask) {
    LVITEMW item = {};
    item.mask = mask;
    item.iItem = row;
    item.iSubItem = subItem;
    item.iImage = -7;
    item.lParam = 1234;
    static wchar_t buffer[] = L"untouched";
    item.pszText = buffer;
    return item;
}

TEST(AddressStore, DisplayInfoPointsIntoTheEntries) {
    AddressStore store;
    for (int code = 0; code <= 5; ++code)
        AppendEntry(store, code, L"user" + std::to_wstring(code));
    ASSERT_EQ(store.Count(), 6u);
    for (int row = 0; row <= 5; ++row) {
        const AddressEntry* entry = store.At(row);
        ASSERT_NE(entry, nullptr);
        const StoredText* fields[] = {&entry->typeText, &entry->userName, &entry->email,
                                      &entry->distinguishedName};
        for (int sub = 0; sub < 4; ++sub) {
            LVITEMW item = Item(row, sub, LVIF_TEXT | LVIF_IMAGE);
            store.FillDisplayInfo(item);
            EXPECT_EQ(item.pszText, fields[sub]->c_str()) << "not copied, the entry's own text";
            EXPECT_EQ(item.iImage, row);
            EXPECT_EQ(item.lParam, reinterpret_cast<LPARAM>(entry));
        }
    }
}

TEST(AddressStore, RequestsThatGetNothing) {
    AddressStore store;
    AppendEntry(store, 5, L"a");

    LVITEMW none = Item(-1, 0, LVIF_TEXT | LVIF_IMAGE);
    const LVITEMW before = none;
    store.FillDisplayInfo(none);
    EXPECT_EQ(memcmp(&none, &before, sizeof(before)), 0) << "iItem -1 leaves the item untouched";

    LVITEMW past = Item(1, 0, LVIF_TEXT | LVIF_IMAGE);
    const LVITEMW pastBefore = past;
    store.FillDisplayInfo(past);
    EXPECT_EQ(memcmp(&past, &pastBefore, sizeof(past)), 0) << "an index past the count is untouched too";
    EXPECT_EQ(store.At(1), nullptr);
    EXPECT_EQ(store.At(UINT64_MAX), nullptr);

    LVITEMW fifth = Item(0, 4, LVIF_TEXT | LVIF_IMAGE);
    store.FillDisplayInfo(fifth);
    EXPECT_STREQ(fifth.pszText, L"untouched") << "no text for sub-item 4";
    EXPECT_EQ(fifth.iImage, 5);
    EXPECT_EQ(fifth.lParam, reinterpret_cast<LPARAM>(store.At(0)));

    LVITEMW textOnly = Item(0, 0, LVIF_TEXT);
    store.FillDisplayInfo(textOnly);
    EXPECT_EQ(textOnly.iImage, -7);
}

TEST(AddressStore, ClearFreesEveryEntry) {
    const long before = LiveAllocations();
    {
        AddressStore store;
        store.Clear();
        EXPECT_EQ(store.Count(), 0u);
        const long empty = LiveAllocations();
        for (int i = 0; i < 100; ++i)
            AppendEntry(store, i % 6, WideString(40, L'n'));
        store.Clear();
        EXPECT_EQ(store.Count(), 0u);
        // The array may keep its capacity; the entries and their texts are gone.
        EXPECT_LE(LiveAllocations(), empty + 1);
        AppendEntry(store, 0, WideString(40, L'n'));
    }
    EXPECT_EQ(LiveAllocations(), before) << "the destructor frees what is left";
}

// Odd lengths take no padding: 16,384 texts of 29 characters (64 bytes each, length and
// terminator included) end exactly at the first text block's end.
TEST(AddressStore, TextsAtBlockEdgesEmptyAndHuge) {
    static_assert(AddressStore::kTextBlockBytes % 64 == 0, "29-character texts fill a block exactly");
    AddressStore store;
    const uint64_t exact = AddressStore::kTextBlockBytes / 64;
    auto text = [](uint64_t i) {
        return WideString(29 - 7, L'a' + static_cast<wchar_t>(i % 26)) + L"-" +
               std::to_wstring(100000 + i % 100000);
    };
    auto check = [&](uint64_t row, uint64_t first) {
        const AddressEntry* entry = store.At(row);
        ASSERT_NE(entry, nullptr);
        const StoredText* texts[] = {&entry->userName, &entry->email, &entry->distinguishedName};
        for (uint64_t k = 0; k < 3; ++k) {
            ASSERT_EQ(*texts[k], text(first + k)) << row;
            ASSERT_EQ(texts[k]->c_str()[texts[k]->size()], L'\0') << row;
        }
    };
    const uint64_t rows = exact / 3 + 2;
    for (uint64_t row = 0; row < rows; ++row) {
        const WideString a = text(row * 3), b = text(row * 3 + 1), c = text(row * 3 + 2);
        store.Append({EntryType::MailUser, EntryKind::MailboxUser, {}, L"mailuser", a, b, c});
    }
    for (uint64_t row = exact / 3 - 1; row < rows; ++row)
        check(row, row * 3);
    EXPECT_EQ(store.At(0)->typeText.c_str(), store.At(1)->typeText.c_str()) << "one type text for all";

    const WideString huge(3 * AddressStore::kTextBlockBytes, L'h');
    store.Append({EntryType::Unknown, EntryKind::Unknown, {}, L"", huge, L"", L"after"});
    const AddressEntry* big = store.At(rows);
    EXPECT_EQ(big->userName, huge);
    EXPECT_TRUE(big->typeText.empty() && big->email.empty());
    EXPECT_STREQ(big->email.c_str(), L"");
    EXPECT_EQ(big->distinguishedName, L"after");
    const WideString a = text(0), b = text(1), c = text(2);
    store.Append({EntryType::MailUser, EntryKind::MailboxUser, {}, L"mailuser", a, b, c});
    check(rows + 1, 0);
    check(rows - 1, (rows - 1) * 3);
}

TEST(AddressStore, ClearAndASecondRun) {
    AddressStore store;
    for (int run = 0; run < 2; ++run) {
        const WideString prefix = run == 0 ? L"first" : L"second";
        for (int i = 0; i < 40000; ++i)
            AppendEntry(store, i % 6, prefix + std::to_wstring(i));
        ASSERT_EQ(store.Count(), 40000u);
        for (int i = 0; i < 40000; i += 1999) {
            EXPECT_EQ(store.At(i)->userName, prefix + std::to_wstring(i));
            EXPECT_EQ(store.At(i)->typeCode, i % 6);
        }
        EXPECT_EQ(store.At(40000), nullptr);
        store.Clear();
        EXPECT_EQ(store.Count(), 0u);
        EXPECT_EQ(store.At(0), nullptr);
    }
    EXPECT_EQ(store.Generation(), 2u);
}

// Detail texts follow their entries across block edges; the chosen details change only while
// the store is empty, and a store without them keeps none.
TEST(AddressStore, KeepsTheChosenDetailsOnly) {
    AddressStore store;
    const int title = details::IndexOf("title"), addresses = details::IndexOf("addresses"),
              custom15 = details::IndexOf("custom15"), city = details::IndexOf("city");
    ASSERT_TRUE(store.SetDetails((1ul << title) | (1ul << addresses) | (1ul << custom15)));
    const uint64_t total = AddressStore::kEntriesPerBlock + 10;
    for (uint64_t i = 0; i < total; ++i) {
        const WideString number = std::to_wstring(i);
        const WideString texts[] = {L"Title " + number, i % 2 ? L"" : L"SMTP:a" + number + L"@x; smtp:b@x",
                                    L"\u4E2D" + number};
        const std::wstring_view views[] = {texts[0], texts[1], texts[2]};
        NewEntry entry;
        entry.userName = number;
        entry.details = views;
        store.Append(entry);
    }
    EXPECT_FALSE(store.SetDetails(0)) << "not while entries are kept";
    for (uint64_t i : {uint64_t(0), uint64_t(1), AddressStore::kEntriesPerBlock - 1,
                       AddressStore::kEntriesPerBlock, total - 1}) {
        SCOPED_TRACE(i);
        const WideString number = std::to_wstring(i);
        const AddressEntry& entry = *store.At(i);
        EXPECT_EQ(entry.userName, number);
        EXPECT_EQ(*store.DetailText(entry, title), L"Title " + number);
        EXPECT_EQ(*store.DetailText(entry, addresses), i % 2 ? L"" : L"SMTP:a" + number + L"@x; smtp:b@x");
        EXPECT_EQ(*store.DetailText(entry, custom15), L"\u4E2D" + number);
        EXPECT_EQ(store.DetailText(entry, city), nullptr);
    }
    store.Clear();
    ASSERT_TRUE(store.SetDetails(0));
    AppendEntry(store, 0, L"plain");
    EXPECT_EQ(store.Details(), 0u);
    EXPECT_EQ(store.DetailText(*store.At(0), title), nullptr);
    EXPECT_EQ(store.At(0)->email, L"plain@example.com");
}

TEST(AddressStore, ReaderAndDisplayOnTwoThreads) {
    AddressStore store;
    constexpr uint64_t kEntries = 200000;
    std::thread writer([&] {
        for (uint64_t i = 0; i < kEntries; ++i)
            AppendEntry(store, static_cast<int64_t>(i % 6), L"n" + std::to_wstring(i));
    });
    // While the array grows, every entry seen keeps its address and its texts.
    std::vector<const AddressEntry*> seen;
    const wchar_t* firstText = nullptr;
    uint64_t lastCount = 0;
    while (lastCount < kEntries) {
        const uint64_t count = store.Count();
        ASSERT_GE(count, lastCount) << "the count never shrinks during a run";
        for (uint64_t i = seen.size(); i < count; ++i)
            seen.push_back(store.At(i));
        if (!seen.empty() && !firstText)
            firstText = seen[0]->userName.c_str();
        if (count > 0) {
            const int row = static_cast<int>(count - 1);
            LVITEMW item = Item(row, 1, LVIF_TEXT);
            store.FillDisplayInfo(item);
            ASSERT_EQ(WideString(item.pszText), L"n" + std::to_wstring(row));
            const AddressEntry* early = seen[count / 2];
            ASSERT_EQ(early, store.At(count / 2));
            ASSERT_EQ(early->userName, L"n" + std::to_wstring(count / 2));
            ASSERT_EQ(seen[0]->userName.c_str(), firstText) << "texts stay put across blocks";
        }
        lastCount = count;
    }
    writer.join();
    ASSERT_EQ(seen.size(), kEntries);
    for (uint64_t i = 0; i < kEntries; i += 997)
        EXPECT_EQ(seen[i], store.At(i));
}
} // namespace
