#include "app/ListOrder.h"
#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include "directory/AddressStore.h"

namespace {

// The text an entry shows in a list column (0 Type, 1 Username, 2 Email Address,
// 3 Distinguished Name); empty for any other column.
std::wstring_view ColumnText(const AddressEntry& entry, int column) {
    const StoredText* text = ListColumnText(entry, column);
    return text ? std::wstring_view(*text) : std::wstring_view();
}

// The user's locale, case ignored: how Explorer's columns compare.
constexpr DWORD kCompareFlags = NORM_IGNORECASE;

int Compare(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, kCompareFlags, a.data(), static_cast<int>(a.size()),
                             b.data(), static_cast<int>(b.size()), nullptr, nullptr, 0);
}

// Appends the text's sort key (zero-terminated, compared bytewise) to pool.
void AppendSortKey(std::wstring_view text, std::vector<BYTE>& pool) {
    const size_t at = pool.size();
    // Keys rarely need more than four bytes a character; ask for the size when they do.
    size_t room = text.size() * 4 + 16;
    for (int attempt = 0; attempt < 2; ++attempt) {
        pool.resize(at + room);
        const int made = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | kCompareFlags, text.data(),
                                         static_cast<int>(text.size()), reinterpret_cast<LPWSTR>(&pool[at]),
                                         static_cast<int>(room), nullptr, nullptr, 0);
        if (made > 0) {
            pool.resize(at + made);
            return;
        }
        room = static_cast<size_t>(::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | kCompareFlags,
                                                   text.data(), static_cast<int>(text.size()), nullptr, 0,
                                                   nullptr, nullptr, 0));
        if (room == 0)
            break;
    }
    // A text the locale cannot map sorts first, as an empty key.
    pool.resize(at + 1);
    pool[at] = 0;
}

struct KeyedRow {
    const unsigned char* key;
    uint32_t index;
};

// Multikey quicksort (Bentley and Sedgewick) on the keys' bytes from depth on: a shared
// beginning, such as the long common start of distinguished names, is looked at once per
// level rather than once per comparison. Equal keys end in index order.
void SortKeys(KeyedRow* rows, size_t n, size_t depth) {
    while (n > 1) {
        if (n < 12) {
            // Few rows: insertion sort on the rest of the keys.
            for (size_t i = 1; i < n; ++i) {
                for (size_t j = i; j > 0; --j) {
                    const int c = std::strcmp(reinterpret_cast<const char*>(rows[j - 1].key + depth),
                                              reinterpret_cast<const char*>(rows[j].key + depth));
                    if (c < 0 || (c == 0 && rows[j - 1].index < rows[j].index))
                        break;
                    std::swap(rows[j - 1], rows[j]);
                }
            }
            return;
        }
        const auto at = [depth](const KeyedRow& row) { return row.key[depth]; };
        const unsigned char a = at(rows[0]), b = at(rows[n / 2]), c = at(rows[n - 1]);
        const unsigned char pivot = std::max(std::min(a, b), std::min(std::max(a, b), c));
        // rows[0, lt) below the pivot, [lt, i) equal, (gt, n) above.
        size_t lt = 0, i = 0, gt = n;
        while (i < gt) {
            const unsigned char v = at(rows[i]);
            if (v < pivot)
                std::swap(rows[lt++], rows[i++]);
            else if (v > pivot)
                std::swap(rows[i], rows[--gt]);
            else
                ++i;
        }
        SortKeys(rows, lt, depth);
        SortKeys(rows + gt, n - gt, depth);
        if (pivot == 0) {
            // These keys have ended together: equal, so arrival order decides.
            std::sort(rows + lt, rows + gt,
                      [](const KeyedRow& x, const KeyedRow& y) { return x.index < y.index; });
            return;
        }
        rows += lt;
        n = gt - lt;
        ++depth;
    }
}

std::vector<uint32_t> SortByKeys(const std::vector<const AddressEntry*>& entries, int column,
                                 bool descending) {
    std::vector<BYTE> pool;
    std::vector<size_t> offsets(entries.size());
    // Most of the keys' room at once: a growing pool would copy them over and over.
    size_t estimate = 0;
    for (const AddressEntry* entry : entries)
        estimate += ColumnText(*entry, column).size() * 3 + 8;
    pool.reserve(estimate);
    for (size_t i = 0; i < entries.size(); ++i) {
        offsets[i] = pool.size();
        AppendSortKey(ColumnText(*entries[i], column), pool);
    }
    std::vector<KeyedRow> rows(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        rows[i] = {pool.data() + offsets[i], static_cast<uint32_t>(i)};
    offsets = std::vector<size_t>();
    // Keys order as unsigned bytes (strcmp compares so too).
    SortKeys(rows.data(), rows.size(), 0);
    if (descending) {
        // Reversed, with each run of equal keys turned back into arrival order.
        std::reverse(rows.begin(), rows.end());
        for (size_t start = 0; start < rows.size();) {
            size_t end = start + 1;
            while (end < rows.size() && std::strcmp(reinterpret_cast<const char*>(rows[start].key),
                                                    reinterpret_cast<const char*>(rows[end].key)) == 0)
                ++end;
            std::reverse(rows.begin() + start, rows.begin() + end);
            start = end;
        }
    }
    std::vector<uint32_t> order(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        order[i] = rows[i].index;
    return order;
}

// Without room for the keys: the same order, one comparison call at a time (much slower).
std::vector<uint32_t> SortByComparing(const std::vector<const AddressEntry*>& entries, int column,
                                      bool descending) {
    std::vector<uint32_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<uint32_t>(i);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const int c = Compare(ColumnText(*entries[a], column), ColumnText(*entries[b], column));
        if (c != CSTR_EQUAL)
            return descending ? c == CSTR_GREATER_THAN : c == CSTR_LESS_THAN;
        return a < b;
    });
    return order;
}

// Store indices ordered by the column's text, compared as CompareStringEx does in the user's
// locale ignoring case, from sort keys made once per entry; equal texts keep index order.
// Empty when there is not memory enough.
std::vector<uint32_t> SortedIndices(const AddressStore& store, uint64_t rows, int column, bool descending) {
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
        try {
            return SortByKeys(entries, column, descending);
        } catch (const std::bad_alloc&) {
            return SortByComparing(entries, column, descending);
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

bool ListOrder::Sort(const AddressStore& store, uint64_t rows, int sortColumn, bool sortDescending) {
    std::vector<uint32_t> sorted = SortedIndices(store, rows, sortColumn, sortDescending);
    if (sorted.size() != rows)
        return false;
    rowToStore = std::move(sorted);
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
    const int searched = column == kUnsorted ? 1 : column;
    const int length = static_cast<int>(std::wcslen(text));
    const auto matches = [&](int64_t row) {
        const AddressEntry* entry = store.At(static_cast<uint64_t>(StoreIndex(row)));
        if (!entry)
            return false;
        const std::wstring_view cell = ColumnText(*entry, searched);
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
