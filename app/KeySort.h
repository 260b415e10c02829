#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// Waits until every one of the threads has ended. A window passes one that keeps painting
// meanwhile; null is a plain blocking wait.
using ThreadWait = std::function<void(const HANDLE* threads, DWORD count)>;

// How a sort uses the machine.
struct SortWork {
    // Threads for the keys and the sorting of parts; 0: one per processor.
    unsigned threads = 0;
    // With a wait the work runs on threads even when there is one part, so that the calling
    // thread is free to wait as it likes.
    ThreadWait wait;
};

// The text of row index (below the count), asked for on the sort's threads.
using SortText = std::function<std::wstring_view(size_t index)>;

// The indices of count texts in the order CompareStringEx gives them in the user's locale with
// flags, equal texts in index order, reversed (equal texts still in index order) when
// descending. The sort keys are made in parts on several threads, then split by key into
// one bucket per thread and each bucket sorted on its own: the order is exactly that of
// one thread. A long beginning that nearly every text shares, such as distinguished names'
// "/o=.../cn=", is left out of the keys where the collation allows it; the few texts without
// it are put into place by CompareStringEx. With runStarts, (*runStarts)[i] tells whether
// row i of the result begins a run of equal texts, so that the other direction can be had
// without sorting again. Throws std::bad_alloc.
std::vector<uint32_t> SortByKeys(size_t count, const SortText& text, DWORD flags, bool descending,
                                 const SortWork& work, std::vector<bool>* runStarts = nullptr);

// The same rows in the other direction, from an order and its runs of equal texts: the runs
// in reverse, each keeping its rows in index order; runStarts becomes the new order's.
// Throws std::bad_alloc.
std::vector<uint32_t> ReverseRuns(const std::vector<uint32_t>& order, std::vector<bool>& runStarts);
