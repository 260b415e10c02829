#include "app/SharedBeginning.h"
#include <algorithm>

namespace {

// Word sort weighs '-' and '\'' by their position rather than in place, and characters
// beyond printable ASCII may combine with their neighbours: a cut stays clear of them all.
bool PlainAscii(wchar_t c) {
    return c >= 0x20 && c < 0x7F && c != L'-' && c != L'\'';
}

// No contraction of any locale joins a letter to a character like '/' or '=': a cut may
// follow one.
bool EndsElement(wchar_t c) {
    const wchar_t lower = c | 0x20;
    return PlainAscii(c) && !(c >= L'0' && c <= L'9') && !(lower >= L'a' && lower <= L'z');
}

// At most one text in this many may lack the shared beginning: each of those is put into
// place by some twenty CompareStringEx calls.
constexpr size_t kRowsPerOutlier = 1024;

// The first byte of a key when the texts share a beginning (an empty text's key has none).
constexpr BYTE kSharesBeginning = 1;

} // namespace

namespace keysort {

// The beginning that the keys may leave out, or none: the "/o=.../cn=Recipients/cn=" that
// distinguished names share, which would otherwise be most of every key, and the locale's
// mapping costs by the character. Comparing P + a with P + b is comparing a with b only where
// no collation element crosses the cut, so the beginning is plain ASCII, ends in a character
// that ends every element, and a text has it only when a plain character or its end follows
// (a combining mark would change the beginning's last weight, a kana repeat mark repeat it).
// The texts it is taken from: one in the middle, and as many of the rest as lack it at most
// one in kRowsPerOutlier.
std::wstring_view SharedBeginning(size_t n, const SortText& text, const std::vector<size_t>& bounds,
                                  const SortWork& work) {
    size_t middle = n / 2;
    while (middle < n && text(middle).empty())
        ++middle;
    if (middle == n)
        return {};
    const std::wstring_view reference = text(middle);
    // Most columns share no beginning: a few texts tell, and spare reading all of them twice.
    constexpr size_t kProbes = 64;
    size_t unlike = 0;
    for (size_t j = 0; j < kProbes; ++j) {
        const std::wstring_view t = text(j * n / kProbes);
        unlike += !t.empty() && t[0] != reference[0];
    }
    if (unlike > 1)
        return {};
    // reach[p][k]: part p's non-empty texts that have the reference's first k characters at
    // most as a beginning.
    const unsigned parts = static_cast<unsigned>(bounds.size() - 1);
    std::vector<std::vector<size_t>> reach(parts, std::vector<size_t>(reference.size() + 1));
    RunParts(
        parts,
        [&](unsigned p) {
            for (size_t i = bounds[p]; i < bounds[p + 1]; ++i) {
                const std::wstring_view t = text(i);
                if (t.empty())
                    continue;
                const size_t limit = std::min(t.size(), reference.size());
                size_t m = 0;
                while (m < limit && t[m] == reference[m])
                    ++m;
                ++reach[p][m > 0 && m < t.size() && !PlainAscii(t[m]) ? m - 1 : m];
            }
        },
        work);
    size_t cut = 0, outliers = 0;
    for (size_t k = 1; k <= reference.size() && PlainAscii(reference[k - 1]); ++k) {
        for (unsigned p = 0; p < parts; ++p)
            outliers += reach[p][k - 1];
        if (outliers > n / kRowsPerOutlier)
            break;
        if (EndsElement(reference[k - 1]) && (k == reference.size() || PlainAscii(reference[k])))
            cut = k;
    }
    return reference.substr(0, cut);
}

// The text's key, after the shared beginning when the text has it; behind a first byte that
// sorts empty texts first, then the texts with the beginning, then the rest by whole keys.
void AppendKeyFrom(std::wstring_view text, std::wstring_view beginning, DWORD flags,
                   std::vector<BYTE>& pool) {
    if (!beginning.empty() && !text.empty()) {
        const size_t cut = beginning.size();
        const bool shares = text.substr(0, cut) == beginning && (text.size() == cut || PlainAscii(text[cut]));
        pool.push_back(shares ? kSharesBeginning : kOutlier);
        if (shares)
            text.remove_prefix(cut);
    }
    AppendSortKey(text, flags, pool);
}

int CompareTexts(const KeyedRow& a, const KeyedRow& b, const SortText& text, DWORD flags) {
    const std::wstring_view x = text(a.index), y = text(b.index);
    return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, flags, x.data(), static_cast<int>(x.size()), y.data(),
                             static_cast<int>(y.size()), nullptr, nullptr, 0);
}

// Sorted rows whose texts lacked the shared beginning come last, in order by whole keys;
// each goes into its place among the others as CompareStringEx orders them, which is the
// keys' order. Throws std::bad_alloc.
void MergeOutliers(std::unique_ptr<KeyedRow[]>& rows, size_t n, const SortText& text, DWORD flags) {
    KeyedRow* const begin = rows.get();
    KeyedRow* const end = begin + n;
    KeyedRow* const outliers =
        std::partition_point(begin, end, [](const KeyedRow& row) { return row.key[0] != kOutlier; });
    if (outliers == end)
        return;
    std::unique_ptr<KeyedRow[]> merged(new KeyedRow[n]);
    KeyedRow* out = merged.get();
    KeyedRow* from = begin;
    for (KeyedRow* odd = outliers; odd != end; ++odd) {
        KeyedRow* const place = std::partition_point(from, outliers, [&](const KeyedRow& row) {
            const int c = CompareTexts(row, *odd, text, flags);
            return c == CSTR_LESS_THAN || (c == CSTR_EQUAL && row.index < odd->index);
        });
        out = std::copy(from, place, out);
        *out++ = *odd;
        from = place;
    }
    std::copy(from, outliers, out);
    rows.swap(merged);
}

} // namespace keysort
