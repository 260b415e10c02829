#include "app/ListOrder.h"
#include <algorithm>
#include <new>
#include <string_view>
#include "app/KeySort.h"
#include "directory/AddressStore.h"

namespace {

// The user's locale, case ignored: how Explorer's columns compare.
constexpr DWORD kCompareFlags = NORM_IGNORECASE;

int Compare(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, kCompareFlags, a.data(), static_cast<int>(a.size()),
                             b.data(), static_cast<int>(b.size()), nullptr, nullptr, 0);
}

// Without room for the keys: the same order, one comparison call at a time (much slower).
std::vector<uint32_t> SortByComparing(const AddressStore& store,
                                      const std::vector<const AddressEntry*>& entries, int columnId,
                                      bool descending) {
    std::vector<uint32_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<uint32_t>(i);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const int c =
            Compare(store.ColumnText(*entries[a], columnId), store.ColumnText(*entries[b], columnId));
        if (c != CSTR_EQUAL)
            return descending ? c == CSTR_GREATER_THAN : c == CSTR_LESS_THAN;
        return a < b;
    });
    return order;
}

// Store indices ordered by the column's text, compared as CompareStringEx does in the user's
// locale ignoring case, from sort keys made once per entry; equal texts keep index order.
// Empty when there is not memory enough.
std::vector<uint32_t> SortedIndices(const AddressStore& store, uint64_t rows, int column, bool descending,
                                    const SortWork& work, std::vector<bool>& runStarts) {
    try {
        // Entries never move until the next Clear, which cannot run while the UI thread sorts.
        std::vector<const AddressEntry*> entries;
        entries.reserve(static_cast<size_t>(rows));
        for (uint64_t i = 0; i < rows; ++i) {
            const AddressEntry* entry = store.At(i);
            if (!entry)
                break;
            entries.push_back(entry);
        }
        const int columnId = store.ListColumnId(column);
        try {
            return SortByKeys(
                entries.size(), [&](size_t i) { return store.ColumnText(*entries[i], columnId); },
                kCompareFlags, descending, work, &runStarts);
        } catch (const std::bad_alloc&) {
            runStarts.clear();
            return SortByComparing(store, entries, columnId, descending);
        }
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace

void ListOrder::Reset() {
    column = kUnsorted;
    descending = false;
    rowToStore = std::vector<uint32_t>();
    runStarts = std::vector<bool>();
}

int64_t ListOrder::StoreIndex(int64_t row) const {
    if (column == kUnsorted || row < 0 || static_cast<uint64_t>(row) >= rowToStore.size())
        return row;
    return rowToStore[static_cast<size_t>(row)];
}

int64_t ListOrder::RowOf(int64_t storeIndex) const {
    if (column == kUnsorted)
        return storeIndex;
    const auto at = std::find(rowToStore.begin(), rowToStore.end(), static_cast<uint32_t>(storeIndex));
    return at == rowToStore.end() ? -1 : at - rowToStore.begin();
}

bool ListOrder::Sort(const AddressStore& store, uint64_t rows, int sortColumn, bool sortDescending,
                     const SortWork& work) {
    std::vector<bool> starts;
    std::vector<uint32_t> sorted;
    try {
        starts = runStarts;
        if (sortColumn == column && sortDescending != descending && rowToStore.size() == rows &&
            starts.size() == rows)
            sorted = ReverseRuns(rowToStore, starts);
        else
            sorted = SortedIndices(store, rows, sortColumn, sortDescending, work, starts);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (sorted.size() != rows)
        return false;
    rowToStore = std::move(sorted);
    runStarts = std::move(starts);
    column = sortColumn;
    descending = sortDescending;
    return true;
}

std::vector<uint64_t> ListOrder::Snapshot(uint64_t rows) const {
    std::vector<uint64_t> indices(static_cast<size_t>(rows));
    for (uint64_t row = 0; row < rows; ++row)
        indices[static_cast<size_t>(row)] = static_cast<uint64_t>(StoreIndex(static_cast<int64_t>(row)));
    return indices;
}

int64_t ListOrder::Find(const AddressStore& store, uint64_t rows, const wchar_t* text, bool partial,
                        int64_t start, bool wrap) const {
    const int searched = store.ListColumnId(column == kUnsorted ? 1 : column);
    const int length = static_cast<int>(std::wcslen(text));
    const auto matches = [&](int64_t row) {
        const AddressEntry* entry = store.At(static_cast<uint64_t>(StoreIndex(row)));
        if (!entry)
            return false;
        const std::wstring_view cell = store.ColumnText(*entry, searched);
        // A prefix compares the cell's first characters, as many as were typed.
        const int cellLength =
            partial ? std::min(length, static_cast<int>(cell.size())) : static_cast<int>(cell.size());
        return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, kCompareFlags, cell.data(), cellLength, text,
                                 length, nullptr, nullptr, 0) == CSTR_EQUAL;
    };
    const int64_t count = static_cast<int64_t>(rows);
    if (start < 0 || start >= count)
        start = 0;
    for (int64_t row = start; row < count; ++row) {
        if (matches(row))
            return row;
    }
    for (int64_t row = 0; wrap && row < start; ++row) {
        if (matches(row))
            return row;
    }
    return -1;
}
