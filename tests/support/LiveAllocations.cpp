#include "tests/support/LiveAllocations.h"
#include <windows.h>
#include <cstdlib>
#include <new>

namespace {
volatile LONG live = 0;

void* Allocate(std::size_t size) {
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
