#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>
#include "app/KeySort.h"

// The pieces of the key sort that its steps share (KeySort.cpp, SharedBeginning.cpp).
namespace keysort {

struct KeyedRow {
    // Zero-terminated, with no zero byte before the end.
    const unsigned char* key;
    uint32_t index;
    // The key's bytes before its terminator.
    uint32_t length;
};

// Appends the text's sort key (zero-terminated, compared bytewise) to pool.
void AppendSortKey(std::wstring_view text, DWORD flags, std::vector<BYTE>& pool);

// The keys' order as unsigned bytes, as strcmp gives it, looking from depth on: both keys
// are that long at least, and equal before it.
int CompareKeys(const KeyedRow& a, const KeyedRow& b, size_t depth);

// Runs work(0) to work(parts - 1), each on a thread of its own, and waits for them all;
// a part whose thread cannot be started runs on the calling thread instead. Throws
// std::bad_alloc when a part ran out of memory.
void RunParts(unsigned parts, const std::function<void(unsigned)>& work, const SortWork& how);

} // namespace keysort
