#include "app/KeySort.h"
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include "app/KeyRows.h"
#include "app/SharedBeginning.h"
#include "base/ScopedWin.h"

namespace keysort {

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

} // namespace keysort

namespace {

using namespace keysort;

// How many of their first limit bytes a and b share, eight at a time: msvcrt's strcmp goes
// byte by byte, and the keys of distinguished names share about 170 bytes.
size_t SharedBytes(const unsigned char* a, const unsigned char* b, size_t limit) {
    size_t k = 0;
    for (; k + 8 <= limit; k += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + k, 8);
        std::memcpy(&y, b + k, 8);
        if (x != y)
            break;
    }
    while (k < limit && a[k] == b[k])
        ++k;
    return k;
}

// The order of the whole sort: by key, then by index.
bool Before(const KeyedRow& a, const KeyedRow& b) {
    const int c = CompareKeys(a, b, 0);
    return c < 0 || (c == 0 && a.index < b.index);
}

// How many bytes from depth on every key of the rows shares with the first, its
// terminator not counted. Key by key, each read from its start in one go: distinguished
// names share about 170 key bytes, which byte-by-byte partitioning would visit once per
// byte across all rows.
size_t CommonRun(const KeyedRow* rows, size_t n, size_t depth) {
    size_t common = rows[0].length - depth;
    for (size_t i = 1; i < n && common > 0; ++i)
        common =
            SharedBytes(rows[0].key + depth, rows[i].key + depth, std::min(common, rows[i].length - depth));
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
                    const int c = CompareKeys(rows[j - 1], rows[j], depth);
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

// Rows split by key at parts - 1 splitters, taken from a sample, into one bucket per
// part: a bucket's keys all come after those of the bucket before, and equal keys share a
// bucket. Then each bucket is sorted on a thread of its own and the buckets simply follow
// one another, with no merge that would compare the long keys again on one thread.
void SortInBuckets(std::unique_ptr<KeyedRow[]>& rows, const std::vector<size_t>& bounds,
                   const SortWork& work);

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

void SortInBuckets(std::unique_ptr<KeyedRow[]>& rows, const std::vector<size_t>& bounds,
                   const SortWork& work) {
    const size_t n = bounds.back();
    const unsigned parts = static_cast<unsigned>(bounds.size() - 1);
    // Evenly spaced rows, sorted; their quantiles split the rest.
    std::vector<KeyedRow> sample;
    const size_t samples = std::min<size_t>(n, 64 * parts);
    for (size_t j = 0; j < samples; ++j)
        sample.push_back(rows[j * n / samples]);
    std::sort(sample.begin(), sample.end(), Before);
    std::vector<KeyedRow> splitters;
    for (unsigned b = 1; b < parts; ++b)
        splitters.push_back(sample[b * samples / parts]);
    // A row's bucket: the first whose splitter its key does not exceed (the last: past all).
    // Left uninitialised here, written by the parts: a first write to fresh memory is
    // costly, and this thread is the window's.
    std::unique_ptr<uint8_t[]> bucketOf(new uint8_t[n]);
    std::vector<std::vector<size_t>> counts(parts, std::vector<size_t>(parts));
    RunParts(
        parts,
        [&](unsigned p) {
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i) {
                const auto first =
                    std::partition_point(splitters.begin(), splitters.end(), [&](const KeyedRow& split) {
                        return CompareKeys(split, rows[i], 0) < 0;
                    });
                bucketOf[i] = static_cast<uint8_t>(first - splitters.begin());
                ++counts[p][bucketOf[i]];
            }
        },
        work);
    // Bucket b starts after the buckets before it; within it, part p's rows after those of
    // the parts before p.
    std::vector<size_t> bucketStart(parts + 1);
    std::vector<std::vector<size_t>> next(parts, std::vector<size_t>(parts));
    size_t at = 0;
    for (unsigned b = 0; b < parts; ++b) {
        bucketStart[b] = at;
        for (unsigned p = 0; p < parts; ++p) {
            next[p][b] = at;
            at += counts[p][b];
        }
    }
    bucketStart[parts] = n;
    std::unique_ptr<KeyedRow[]> bucketed(new KeyedRow[n]);
    RunParts(
        parts,
        [&](unsigned p) {
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i)
                bucketed[next[p][bucketOf[i]]++] = rows[i];
        },
        work);
    RunParts(
        parts,
        [&](unsigned b) {
            SortKeys(bucketed.get() + bucketStart[b], bucketStart[b + 1] - bucketStart[b], 0);
        },
        work);
    rows.swap(bucketed);
}

} // namespace

namespace keysort {

// The keys' order as unsigned bytes, as strcmp gives it, looking from depth on: both keys
// are that long at least, and equal before it.
int CompareKeys(const KeyedRow& a, const KeyedRow& b, size_t depth) {
    const size_t limit = std::min(a.length, b.length);
    const size_t k = depth + SharedBytes(a.key + depth, b.key + depth, limit - depth);
    if (k == limit)
        return a.length < b.length ? -1 : (a.length > b.length ? 1 : 0);
    return a.key[k] < b.key[k] ? -1 : 1;
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

} // namespace keysort

std::vector<uint32_t> SortByKeys(size_t n, const SortText& text, DWORD flags, bool descending,
                                 const SortWork& work, std::vector<bool>* runStarts) {
    const unsigned parts = PartsFor(n, work);
    // Part p holds rows [bounds[p], bounds[p + 1]), with keys in a pool of its own.
    std::vector<size_t> bounds(parts + 1);
    for (unsigned p = 0; p <= parts; ++p)
        bounds[p] = n * p / parts;
    const std::wstring_view beginning = SharedBeginning(n, text, bounds, work);
    const size_t cut = beginning.size();
    std::vector<std::vector<BYTE>> pools(parts);
    std::unique_ptr<KeyedRow[]> rows(new KeyedRow[n]);
    RunParts(
        parts,
        [&](unsigned p) {
            std::vector<BYTE>& pool = pools[p];
            // Most of the keys' room at once: a growing pool would copy them over and over.
            size_t estimate = 16;
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i)
                estimate += (text(i).size() > cut ? text(i).size() - cut : 0) * 3 + 9;
            pool.reserve(estimate);
            std::vector<size_t> offsets(bounds[p + 1] - bounds[p]);
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i) {
                offsets[i - bounds[p]] = pool.size();
                AppendKeyFrom(text(i), beginning, flags, pool);
            }
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i) {
                const size_t at = offsets[i - bounds[p]];
                const size_t end = i + 1 < bounds[p + 1] ? offsets[i + 1 - bounds[p]] : pool.size();
                rows[i] = {pool.data() + at, static_cast<uint32_t>(i), static_cast<uint32_t>(end - at - 1)};
            }
            if (parts == 1)
                SortKeys(rows.get(), n, 0);
        },
        work);
    if (parts > 1)
        SortInBuckets(rows, bounds, work);

    std::vector<bool> ownStarts;
    std::vector<bool>& starts = runStarts ? *runStarts : ownStarts;
    std::vector<uint32_t> order;
    RunParts(
        1,
        [&](unsigned) {
            if (cut > 0)
                MergeOutliers(rows, n, text, flags);
            order.resize(n);
            starts.assign(n, true);
            for (size_t i = 0; i < n; ++i) {
                order[i] = rows[i].index;
                if (i == 0)
                    continue;
                const KeyedRow &a = rows[i - 1], &b = rows[i];
                // A text with the beginning and one without: their keys are not comparable.
                const bool mixed = cut > 0 && (a.key[0] == kOutlier) != (b.key[0] == kOutlier);
                starts[i] = mixed ? CompareTexts(a, b, text, flags) != CSTR_EQUAL : CompareKeys(a, b, 0) != 0;
            }
            if (descending)
                order = ReverseRuns(order, starts);
        },
        work);
    return order;
}

std::vector<uint32_t> ReverseRuns(const std::vector<uint32_t>& order, std::vector<bool>& runStarts) {
    const size_t n = order.size();
    std::vector<uint32_t> reversed;
    reversed.reserve(n);
    std::vector<bool> starts(n, false);
    for (size_t end = n; end > 0;) {
        size_t start = end - 1;
        while (start > 0 && !runStarts[start])
            --start;
        starts[reversed.size()] = true;
        reversed.insert(reversed.end(), order.begin() + static_cast<std::ptrdiff_t>(start),
                        order.begin() + static_cast<std::ptrdiff_t>(end));
        end = start;
    }
    runStarts.swap(starts);
    return reversed;
}
