#include "mapisim/Buffers.h"
#include <mapicode.h>
#include <cstring>

namespace mapisim {
namespace {

// Sits in front of every block; 16 bytes so that the caller's part stays as aligned as
// the heap's own blocks.
union BlockHeader {
    BlockHeader* nextMore;
    unsigned char size[16];
};

// Fresh blocks are filled with a pattern and freed ones overwritten, so that a caller that
// relies on zeroed memory or reads a block after freeing it sees garbage, as it would
// with the real library sooner or later.
constexpr unsigned char kFreshFill = 0xCD;
constexpr unsigned char kFreedFill = 0xDD;

BlockHeader* HeaderOf(void* data) {
    return reinterpret_cast<BlockHeader*>(data) - 1;
}

void* NewBlock(ULONG size) {
    if (size > MAXDWORD - sizeof(BlockHeader))
        return nullptr;
    auto* header = static_cast<BlockHeader*>(::HeapAlloc(::GetProcessHeap(), 0, sizeof(BlockHeader) + size));
    if (!header)
        return nullptr;
    header->nextMore = nullptr;
    memset(header + 1, kFreshFill, size);
    return header + 1;
}

void ReleaseBlock(BlockHeader* header) {
    const SIZE_T total = ::HeapSize(::GetProcessHeap(), 0, header);
    if (total != static_cast<SIZE_T>(-1))
        memset(header, kFreedFill, total);
    ::HeapFree(::GetProcessHeap(), 0, header);
}

} // namespace

SCODE BufferPool::Allocate(ULONG size, void** out) {
    *out = NewBlock(size);
    if (!*out)
        return MAPI_E_NOT_ENOUGH_MEMORY;
    live.insert(*out);
    return S_OK;
}

SCODE BufferPool::AllocateMore(ULONG size, void* base, void** out) {
    *out = nullptr;
    if (!IsLive(base))
        return MAPI_E_INVALID_PARAMETER;
    void* block = NewBlock(size);
    if (!block)
        return MAPI_E_NOT_ENOUGH_MEMORY;
    BlockHeader* baseHeader = HeaderOf(base);
    HeaderOf(block)->nextMore = baseHeader->nextMore;
    baseHeader->nextMore = HeaderOf(block);
    *out = block;
    return S_OK;
}

bool BufferPool::Free(void* block) {
    if (live.erase(block) == 0)
        return false;
    BlockHeader* header = HeaderOf(block);
    while (header) {
        BlockHeader* next = header->nextMore;
        ReleaseBlock(header);
        header = next;
    }
    return true;
}

} // namespace mapisim
