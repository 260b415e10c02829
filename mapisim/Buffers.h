#pragma once
#include <windows.h>
#include <cstddef>
#include <unordered_set>

namespace mapisim {

// MAPI's memory rules: a block from AllocateBuffer owns every block that AllocateMore
// links to it, and FreeBuffer on that block frees them all at once. The pool knows every
// live base block, so a pointer that is not one (a linked block, a block already freed,
// foreign memory) is refused without being touched. Not thread-safe: the caller holds
// the simulator's lock.
class BufferPool {
public:
    BufferPool() = default;
    BufferPool(const BufferPool&) = delete;
    BufferPool& operator=(const BufferPool&) = delete;

    SCODE Allocate(ULONG size, void** out);
    SCODE AllocateMore(ULONG size, void* base, void** out);
    // False when block is not a live base block; nothing is freed then.
    bool Free(void* block);
    bool IsLive(void* block) const { return live.count(block) != 0; }
    size_t Outstanding() const { return live.size(); }

private:
    std::unordered_set<void*> live;
};

} // namespace mapisim
