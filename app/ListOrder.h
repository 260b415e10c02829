#pragma once
#include <cstdint>
#include <vector>
#include "app/KeySort.h"

class AddressStore;

// The list's rows in the order the user asked for. Unsorted, row n is the store's entry n
// (arrival order, which a running read extends); sorted, the rows are a permutation of the
// store's indices, made while no read runs. The store itself never changes order: the
// pipe export and the reader know nothing of this.
class ListOrder {
public:
    static constexpr int kUnsorted = -1;

    // Back to arrival order.
    void Reset();
    int Column() const { return column; }
    bool Descending() const { return descending; }
    // The store index shown at a row; -1 stays -1.
    int64_t StoreIndex(int64_t row) const;
    // The row showing a store index, -1 when none does.
    int64_t RowOf(int64_t storeIndex) const;
    // Sorts the first rows entries by the column's text, as the user's locale compares
    // ignoring case; ties keep arrival order. The work runs as work says; this object
    // changes only at the end, so the list can paint its old order meanwhile. The order
    // stays as it was when there is not memory enough for the permutation. The same rows by
    // the same column the other way round are the sorted ones with their runs of equal texts
    // reversed: no keys are made again.
    bool Sort(const AddressStore& store, uint64_t rows, int sortColumn, bool sortDescending,
              const SortWork& work = SortWork());
    // The store indices of rows, in row order (a copy that outlives a later sort).
    std::vector<uint64_t> Snapshot(uint64_t rows) const;

    // LVN_ODFINDITEM: the first row from start on (then from the top with wrap) whose text
    // in the sorted column, or Username when unsorted, starts with text (partial) or equals
    // it; case is ignored. -1 when no row does.
    int64_t Find(const AddressStore& store, uint64_t rows, const wchar_t* text, bool partial, int64_t start,
                 bool wrap) const;

private:
    int column = kUnsorted;
    bool descending = false;
    std::vector<uint32_t> rowToStore;
    // For each row of rowToStore: whether its text differs from the row's before.
    std::vector<bool> runStarts;
};
