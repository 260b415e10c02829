#pragma once
#include <windows.h>
#include <memory>
#include <string_view>
#include <vector>
#include "app/KeyRows.h"

// Keys without the long beginning that nearly every text of a column shares, such as the
// "/o=.../cn=Recipients/cn=" of distinguished names, where the collation allows leaving it out.
namespace keysort {

// The first byte of the key of a text that lacks the shared beginning.
constexpr BYTE kOutlier = 2;

// The beginning that the keys may leave out, or none; bounds are the sort's parts.
std::wstring_view SharedBeginning(size_t n, const SortText& text, const std::vector<size_t>& bounds,
                                  const SortWork& work);
// The text's key, after the shared beginning when the text has it.
void AppendKeyFrom(std::wstring_view text, std::wstring_view beginning, DWORD flags, std::vector<BYTE>& pool);
int CompareTexts(const KeyedRow& a, const KeyedRow& b, const SortText& text, DWORD flags);
// The sorted rows whose texts lacked the beginning put into their places. Throws std::bad_alloc.
void MergeOutliers(std::unique_ptr<KeyedRow[]>& rows, size_t n, const SortText& text, DWORD flags);

} // namespace keysort
