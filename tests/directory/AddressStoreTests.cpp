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

TEST(AddressStore, ReaderAndDisplayOnTwoThreads) {
    AddressStore store;
    constexpr uint64_t kEntries = 200000;
    std::thread writer([&] {
        for (uint64_t i = 0; i < kEntries; ++i)
            AppendEntry(store, static_cast<int64_t>(i % 6), L"n" + std::to_wstring(i));
    });
    // While the array grows, every entry seen keeps its address and its texts.
    std::vector<const AddressEntry*> seen;
    uint64_t lastCount = 0;
    while (lastCount < kEntries) {
        const uint64_t count = store.Count();
        ASSERT_GE(count, lastCount) << "the count never shrinks during a run";
        for (uint64_t i = seen.size(); i < count; ++i)
            seen.push_back(store.At(i));
        if (count > 0) {
            const int row = static_cast<int>(count - 1);
            LVITEMW item = Item(row, 1, LVIF_TEXT);
            store.FillDisplayInfo(item);
            ASSERT_EQ(WideString(item.pszText), L"n" + std::to_wstring(row));
            const AddressEntry* early = seen[count / 2];
            ASSERT_EQ(early, store.At(count / 2));
            ASSERT_EQ(early->userName, L"n" + std::to_wstring(count / 2));
        }
        lastCount = count;
    }
    writer.join();
    ASSERT_EQ(seen.size(), kEntries);
    for (uint64_t i = 0; i < kEntries; i += 997)
        EXPECT_EQ(seen[i], store.At(i));
}
} // namespace
