#include <gtest/gtest.h>
#include "app/KeySort.h"
#include "app/ListOrder.h"
#include "directory/AddressStore.h"

namespace {

// Names that catch a bytewise or case-sensitive order, and a tie that must keep arrival order.
const wchar_t* const kNames[] = {L"zoë", L"Zoe",    L"ann", L"Ängel",    L"Bob", L"ANN",          L"Ångström",
                                 L"",    L"Zsófia", L"bob", L"𠮷 Yoshi", L"Åsa", L"Zoë Ångström", L"zo"};

AddressStore& Store() {
    static AddressStore store;
    if (store.Count() == 0) {
        for (const wchar_t* name : kNames) {
            const WideString email = WideString(L"mail.") + name;
            NewEntry entry;
            entry.userName = name;
            entry.email = email;
            store.Append(entry);
        }
    }
    return store;
}

int Compare(const WideString& a, const WideString& b) {
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1, nullptr,
                             nullptr, 0);
}

TEST(ListOrder, SortsAsTheLocaleComparesIgnoringCaseAndKeepsTiesInArrival) {
    const uint64_t n = Store().Count();
    for (bool descending : {false, true}) {
        ListOrder order;
        ASSERT_TRUE(order.Sort(Store(), n, 1, descending));
        for (uint64_t row = 1; row < n; ++row) {
            const int64_t a = order.StoreIndex(row - 1), b = order.StoreIndex(row);
            const int c = Compare(Store().At(a)->userName, Store().At(b)->userName);
            EXPECT_NE(c, descending ? CSTR_LESS_THAN : CSTR_GREATER_THAN) << row;
            if (c == CSTR_EQUAL) {
                EXPECT_LT(a, b) << "a tie keeps arrival order";
            }
            EXPECT_EQ(order.RowOf(b), static_cast<int64_t>(row));
        }
    }
    ListOrder order;
    ASSERT_TRUE(order.Sort(Store(), n, 1, false));
    EXPECT_EQ(order.StoreIndex(0), 7) << "the empty name first";
    // A second click reverses the sorted rows, ties still in arrival order.
    ListOrder down;
    ASSERT_TRUE(down.Sort(Store(), n, 1, true));
    ASSERT_TRUE(order.Sort(Store(), n, 1, true));
    EXPECT_EQ(order.Snapshot(n), down.Snapshot(n));
    ASSERT_TRUE(order.Sort(Store(), n, 1, false));
    order.Reset();
    EXPECT_EQ(order.StoreIndex(5), 5);
    EXPECT_EQ(order.Column(), ListOrder::kUnsorted);
}

TEST(ListOrder, FindsByPrefixInTheSortedColumnFromTheStartWithWrap) {
    const uint64_t n = Store().Count();
    ListOrder order;
    // Unsorted: Username, from the start row on, then from the top.
    EXPECT_EQ(order.Find(Store(), n, L"ZO", true, 0, true), 0);
    EXPECT_EQ(order.Find(Store(), n, L"zo", true, 2, true), 12);
    EXPECT_EQ(order.Find(Store(), n, L"zsó", true, 13, true), 8) << "wraps to the top";
    EXPECT_EQ(order.Find(Store(), n, L"zsó", true, 13, false), -1);
    EXPECT_EQ(order.Find(Store(), n, L"ZO", false, 0, true), 13) << "whole text";
    EXPECT_EQ(order.Find(Store(), n, L"𠮷", true, 0, true), 10);
    // Sorted by email: that column is searched, in the sorted rows.
    ASSERT_TRUE(order.Sort(Store(), n, 2, false));
    const int64_t row = order.Find(Store(), n, L"mail.b", true, 0, true);
    ASSERT_GE(row, 0);
    EXPECT_EQ(order.StoreIndex(row), 4) << "Bob comes before bob";
    EXPECT_EQ(order.Find(Store(), n, L"Bob", true, 0, true), -1);
}

} // namespace

namespace {

// Texts for the threaded sort: most share a 90-character beginning, as distinguished names
// do, and end in names that are equal ignoring case or accents-aware different; some are
// repeated outright, some are empty or lack the beginning.
std::vector<WideString> ThreadedSortTexts() {
    const WideString beginning =
        L"/o=Rostermint/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=Abteilung";
    std::vector<WideString> texts;
    for (size_t i = 0; i < 40000; ++i) {
        const WideString name = kNames[(i * 7) % std::size(kNames)];
        switch (i % 5) {
        case 0:
            texts.push_back(beginning + name);
            break;
        case 1:
            texts.push_back(beginning + name + std::to_wstring(i % 300));
            break;
        case 2:
            texts.push_back(name);
            break;
        case 3:
            texts.push_back(i % 2 ? beginning : WideString());
            break;
        default:
            texts.push_back(beginning + L"-" + std::to_wstring(i % 97) + name);
            break;
        }
    }
    return texts;
}

TEST(KeySort, SeveralThreadsGiveExactlyTheOneThreadOrder) {
    const std::vector<WideString> owned = ThreadedSortTexts();
    ASSERT_EQ(owned[0].substr(0, 90), owned[1].substr(0, 90));
    const auto text = [&](size_t i) { return std::wstring_view(owned[i]); };
    for (bool descending : {false, true}) {
        SortWork one;
        one.threads = 1;
        const std::vector<uint32_t> alone = SortByKeys(owned.size(), text, NORM_IGNORECASE, descending, one);
        ASSERT_EQ(alone.size(), owned.size());
        for (size_t row = 1; row < alone.size(); ++row) {
            const int c = Compare(owned[alone[row - 1]], owned[alone[row]]);
            ASSERT_NE(c, descending ? CSTR_LESS_THAN : CSTR_GREATER_THAN) << row;
            if (c == CSTR_EQUAL) {
                ASSERT_LT(alone[row - 1], alone[row]) << "equal texts keep arrival order, row " << row;
            }
        }
        for (unsigned threads : {2u, 3u, 4u}) {
            SortWork several;
            several.threads = threads;
            int waits = 0;
            several.wait = [&](const HANDLE* handles, DWORD count) {
                ++waits;
                ::WaitForMultipleObjects(count, handles, TRUE, INFINITE);
            };
            EXPECT_EQ(SortByKeys(owned.size(), text, NORM_IGNORECASE, descending, several), alone)
                << threads << " threads";
            EXPECT_GE(waits, 2) << "the keys' parts, then their merges, ran on threads";
        }
    }
}

TEST(KeySort, TheOtherDirectionFromTheRunsIsTheSortedOne) {
    const std::vector<WideString> owned = ThreadedSortTexts();
    const auto text = [&](size_t i) { return std::wstring_view(owned[i]); };
    std::vector<bool> runs;
    const std::vector<uint32_t> up =
        SortByKeys(owned.size(), text, NORM_IGNORECASE, false, SortWork(), &runs);
    const std::vector<uint32_t> down = SortByKeys(owned.size(), text, NORM_IGNORECASE, true, SortWork());
    const std::vector<uint32_t> reversed = ReverseRuns(up, runs);
    EXPECT_EQ(reversed, down);
    EXPECT_EQ(ReverseRuns(reversed, runs), up) << "and back again";
}

// Texts that share a 90-character beginning ending in '/', as distinguished names do, sorted
// by their keys on one thread and on several, give exactly the order of a plain stable sort
// by CompareStringEx: whether what follows the beginning is plain ASCII in every text, or in
// some a combining mark, a kana repeat mark, an accented letter or a '-'; with empty texts,
// and a few that lack the beginning, one of them equal to others but for case.
TEST(KeySort, TextsSharingALongBeginningSortAsTheLocaleCompares) {
    const WideString beginning =
        L"/o=Rostermint/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=Support/";
    ASSERT_EQ(beginning.size(), 90u);
    const wchar_t* const plain[] = {L"ann", L"ANN", L"Bob", L"o'Neil-x", L"x", L"zo", L" 7", L"", L"bob"};
    const wchar_t* const accented[] = {L"\u0301x", L"-bob", L"\u00c4ngel", L"A\u0308ngel", L"\u3005"};
    const WideString odd[] = {
        L"unknown", beginning.substr(0, 89), beginning + L"\u0301x",
        L"/O=ROSTERMINT/OU=EXCHANGE ADMINISTRATIVE GROUP (FYDIBOHF23SPDLT)/CN=RECIPIENTS/"
        L"CN=SUPPORT/ANN"};
    for (bool plainOnly : {true, false}) {
        std::vector<WideString> owned;
        for (size_t i = 0; i < 17000; ++i) {
            if (i % 101 == 0)
                owned.emplace_back();
            else if (i % 1700 == 850)
                owned.push_back(odd[i / 1700 % std::size(odd)]);
            else if (!plainOnly && i % 7 == 0)
                owned.push_back(beginning + accented[i % std::size(accented)]);
            else
                owned.push_back(beginning + plain[i % std::size(plain)] +
                                (i % 13 ? L"" : std::to_wstring(i % 50)));
        }
        const auto text = [&](size_t i) { return std::wstring_view(owned[i]); };
        for (bool descending : {false, true}) {
            std::vector<uint32_t> expected(owned.size());
            for (size_t i = 0; i < expected.size(); ++i)
                expected[i] = static_cast<uint32_t>(i);
            std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
                return Compare(owned[a], owned[b]) == (descending ? CSTR_GREATER_THAN : CSTR_LESS_THAN);
            });
            for (unsigned threads : {1u, 3u}) {
                SortWork work;
                work.threads = threads;
                EXPECT_EQ(SortByKeys(owned.size(), text, NORM_IGNORECASE, descending, work), expected)
                    << (plainOnly ? "plain" : "accented") << (descending ? " down, " : " up, ") << threads;
            }
        }
    }
}

} // namespace
