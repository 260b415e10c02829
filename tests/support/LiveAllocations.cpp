#include "tests/support/LiveAllocations.h"
#include <windows.h>
#include <cstdlib>
#include <new>

namespace {
volatile LONG live = 0;
// The thread that may still allocate while failing is on; 0 when off.
volatile DWORD sparedThread = 0;

void* Allocate(std::size_t size) {
    const DWORD spared = sparedThread;
    if (spared != 0 && spared != ::GetCurrentThreadId())
        throw std::bad_alloc();
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    ::InterlockedIncrement(&live);
    return block;
}

void Free(void* block) {
    if (!block)
        return;
    ::InterlockedDecrement(&live);
    std::free(block);
}
} // namespace

long LiveAllocations() {
    return live;
}

void FailAllocationsOnOtherThreads(bool on) {
    sparedThread = on ? ::GetCurrentThreadId() : 0;
}

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Free(block);
}
void operator delete[](void* block) noexcept {
    Free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Free(block);
}
