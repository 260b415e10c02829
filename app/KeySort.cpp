#include "app/KeySort.h"
#include <algorithm>
#include <cstring>
#include <new>
#include "base/ScopedWin.h"

namespace {

// Appends the text's sort key (zero-terminated, compared bytewise) to pool.
void AppendSortKey(std::wstring_view text, DWORD flags, std::vector<BYTE>& pool) {
    const size_t at = pool.size();
    // Keys rarely need more than four bytes a character; ask for the size when they do.
    size_t room = text.size() * 4 + 16;
    for (int attempt = 0; attempt < 2; ++attempt) {
        pool.resize(at + room);
        const int made = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | flags, text.data(),
                                         static_cast<int>(text.size()), reinterpret_cast<LPWSTR>(&pool[at]),
                                         static_cast<int>(room), nullptr, nullptr, 0);
        if (made > 0) {
            pool.resize(at + made);
            return;
        }
        room = static_cast<size_t>(::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | flags,
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

int CompareKeys(const unsigned char* a, const unsigned char* b) {
    return std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}

// The order of the whole sort: by key as unsigned bytes (as strcmp compares), then by index.
bool Before(const KeyedRow& a, const KeyedRow& b) {
    const int c = CompareKeys(a.key, b.key);
    return c < 0 || (c == 0 && a.index < b.index);
}

// How many bytes from depth on every key of the rows shares with the first, its
// terminator not counted. Key by key, each read from its start in one go: distinguished
// names share about 170 key bytes, which byte-by-byte partitioning would visit once per
// byte across all rows.
size_t CommonRun(const KeyedRow* rows, size_t n, size_t depth) {
    const unsigned char* first = rows[0].key + depth;
    size_t common = std::strlen(reinterpret_cast<const char*>(first));
    for (size_t i = 1; i < n && common > 0; ++i) {
        const unsigned char* other = rows[i].key + depth;
        size_t k = 0;
        while (k < common && first[k] == other[k])
            ++k;
        common = k;
    }
    return common;
}

// Multikey quicksort (Bentley and Sedgewick) on the keys' bytes from depth on: a shared
// beginning is skipped once for a whole range rather than compared again in every
// comparison. Equal keys end in index order.
void SortKeys(KeyedRow* rows, size_t n, size_t depth) {
    while (n > 1) {
        if (n < 12) {
            // Few rows: insertion sort on the rest of the keys.
            for (size_t i = 1; i < n; ++i) {
                for (size_t j = i; j > 0; --j) {
                    const int c = CompareKeys(rows[j - 1].key + depth, rows[j].key + depth);
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
        if (pivot == 0) {
            // These keys have ended together: equal, so arrival order decides.
            SortKeys(rows + gt, n - gt, depth);
            std::sort(rows + lt, rows + gt,
                      [](const KeyedRow& x, const KeyedRow& y) { return x.index < y.index; });
            return;
        }
        if (lt == 0 && gt == n) {
            // Every key has this byte: skip the whole run the keys share.
            depth += 1 + CommonRun(rows, n, depth + 1);
            continue;
        }
        SortKeys(rows, lt, depth);
        SortKeys(rows + gt, n - gt, depth);
        rows += lt;
        n = gt - lt;
        ++depth;
    }
}

struct Part {
    const std::function<void(unsigned)>* work;
    unsigned index;
    bool outOfMemory;
};

DWORD WINAPI RunPart(void* parameter) {
    Part& part = *static_cast<Part*>(parameter);
    try {
        (*part.work)(part.index);
    } catch (const std::bad_alloc&) {
        part.outOfMemory = true;
    }
    return 0;
}

// Runs work(0) to work(parts - 1), each on a thread of its own, and waits for them all;
// a part whose thread cannot be started runs on the calling thread instead. Throws
// std::bad_alloc when a part ran out of memory.
void RunParts(unsigned parts, const std::function<void(unsigned)>& work, const SortWork& how) {
    std::vector<Part> state(parts);
    std::vector<AutoCloseHandle> owned;
    std::vector<HANDLE> threads;
    owned.reserve(parts);
    threads.reserve(parts);
    for (unsigned i = 0; i < parts; ++i) {
        state[i] = {&work, i, false};
        HANDLE thread =
            (parts > 1 || how.wait) ? ::CreateThread(nullptr, 0, RunPart, &state[i], 0, nullptr) : nullptr;
        if (thread) {
            owned.emplace_back(thread);
            threads.push_back(thread);
        } else {
            RunPart(&state[i]);
        }
    }
    if (!threads.empty()) {
        if (how.wait)
            how.wait(threads.data(), static_cast<DWORD>(threads.size()));
        // The parts use this frame's state: whatever the wait did, they have ended here.
        ::WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
    }
    for (const Part& part : state) {
        if (part.outOfMemory)
            throw std::bad_alloc();
    }
}

unsigned PartsFor(size_t n, const SortWork& how) {
    // Fewer rows than this are not worth a thread of their own.
    constexpr size_t kRowsPerPart = 8192;
    unsigned threads = how.threads;
    if (threads == 0) {
        SYSTEM_INFO system = {};
        ::GetSystemInfo(&system);
        threads = system.dwNumberOfProcessors;
    }
    const size_t byRows = std::max<size_t>(1, n / kRowsPerPart);
    return static_cast<unsigned>(
        std::clamp<size_t>(std::min<size_t>(threads, byRows), 1, MAXIMUM_WAIT_OBJECTS));
}

} // namespace

std::vector<uint32_t> SortByKeys(const std::vector<std::wstring_view>& texts, DWORD flags, bool descending,
                                 const SortWork& work) {
    const size_t n = texts.size();
    const unsigned parts = PartsFor(n, work);
    // Part p holds rows [bounds[p], bounds[p + 1]), with keys in a pool of its own.
    std::vector<size_t> bounds(parts + 1);
    for (unsigned p = 0; p <= parts; ++p)
        bounds[p] = n * p / parts;
    std::vector<std::vector<BYTE>> pools(parts);
    std::vector<KeyedRow> rows(n), merged;
    RunParts(
        parts,
        [&](unsigned p) {
            std::vector<BYTE>& pool = pools[p];
            // Most of the keys' room at once: a growing pool would copy them over and over.
            size_t estimate = 16;
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i)
                estimate += texts[i].size() * 3 + 8;
            pool.reserve(estimate);
            std::vector<size_t> offsets(bounds[p + 1] - bounds[p]);
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i) {
                offsets[i - bounds[p]] = pool.size();
                AppendSortKey(texts[i], flags, pool);
            }
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i)
                rows[i] = {pool.data() + offsets[i - bounds[p]], static_cast<uint32_t>(i)};
            SortKeys(rows.data() + bounds[p], bounds[p + 1] - bounds[p], 0);
        },
        work);

    // Sorted parts merged in pairs, each pair on a thread, until one run is left.
    if (bounds.size() > 2)
        merged.resize(n);
    while (bounds.size() > 2) {
        const unsigned runs = static_cast<unsigned>(bounds.size() - 1);
        RunParts((runs + 1) / 2,
                 [&](unsigned pair) {
                     const size_t begin = bounds[2 * pair], middle = bounds[std::min(2 * pair + 1, runs)],
                                  end = bounds[std::min(2 * pair + 2, runs)];
                     std::merge(rows.begin() + begin, rows.begin() + middle, rows.begin() + middle,
                                rows.begin() + end, merged.begin() + begin, Before);
                 },
                 work);
        rows.swap(merged);
        std::vector<size_t> next;
        for (size_t p = 0; p < bounds.size(); p += 2)
            next.push_back(bounds[p]);
        if (next.back() != n)
            next.push_back(n);
        bounds.swap(next);
    }
    merged = std::vector<KeyedRow>();

    std::vector<uint32_t> order(n);
    RunParts(
        1,
        [&](unsigned) {
            if (descending) {
                // Reversed, with each run of equal keys turned back into index order.
                std::reverse(rows.begin(), rows.end());
                for (size_t start = 0; start < n;) {
                    size_t end = start + 1;
                    while (end < n && CompareKeys(rows[start].key, rows[end].key) == 0)
                        ++end;
                    std::reverse(rows.begin() + start, rows.begin() + end);
                    start = end;
                }
            }
            for (size_t i = 0; i < n; ++i)
                order[i] = rows[i].index;
        },
        work);
    return order;
}
