#pragma once
#include <windows.h>
#include <mapix.h>
#include <mapicode.h>
#include <utility>
#include "directory/MapiLibrary.h"

// A call that reports success but hands out no object has failed all the same. (Call
// first, then check: the object is read after the call has written it.)
inline HRESULT Checked(HRESULT result, const void* object) {
    return SUCCEEDED(result) && object == nullptr ? MAPI_E_CALL_FAILED : result;
}

// Owners for MAPI interfaces and memory: every object is released and every buffer freed
// when its owner goes out of scope, on every path.

template <typename T> class MapiPtr {
public:
    MapiPtr() = default;
    ~MapiPtr() { Release(); }
    MapiPtr(const MapiPtr&) = delete;
    MapiPtr& operator=(const MapiPtr&) = delete;

    T* Get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }
    T** Receive() {
        Release();
        return &object;
    }
    // OpenEntry hands out IUnknown; the object type it reports says what it really is.
    LPUNKNOWN* ReceiveUnknown() {
        Release();
        return reinterpret_cast<LPUNKNOWN*>(&object);
    }
    void Release() {
        if (object)
            std::exchange(object, nullptr)->Release();
    }

private:
    T* object = nullptr;
};

// A block from MAPIAllocateBuffer (or a property array from GetProps), freed with MAPIFreeBuffer.
template <typename T> class MapiBuffer {
public:
    explicit MapiBuffer(const MapiLibrary& mapi) : mapi(&mapi) {}
    ~MapiBuffer() { Free(); }
    MapiBuffer(MapiBuffer&& other) noexcept : mapi(other.mapi), block(std::exchange(other.block, nullptr)) {}
    MapiBuffer(const MapiBuffer&) = delete;
    MapiBuffer& operator=(const MapiBuffer&) = delete;

    T* Get() const { return block; }
    explicit operator bool() const { return block != nullptr; }
    T** Receive() {
        Free();
        return &block;
    }
    void Free() {
        if (block)
            mapi->MAPIFreeBuffer(std::exchange(block, nullptr));
    }

private:
    const MapiLibrary* mapi;
    T* block = nullptr;
};

// A row set with its values, freed with FreeProws.
class MapiRowSet {
public:
    explicit MapiRowSet(const MapiLibrary& mapi) : mapi(&mapi) {}
    ~MapiRowSet() { Free(); }
    MapiRowSet(const MapiRowSet&) = delete;
    MapiRowSet& operator=(const MapiRowSet&) = delete;

    LPSRowSet Get() const { return rows; }
    LPSRowSet operator->() const { return rows; }
    explicit operator bool() const { return rows != nullptr; }
    LPSRowSet* Receive() {
        Free();
        return &rows;
    }
    void Free() {
        if (rows)
            mapi->FreeProws(std::exchange(rows, nullptr));
    }

private:
    const MapiLibrary* mapi;
    LPSRowSet rows = nullptr;
};

// The Global Address List's entry identifier: a size and a MAPIAllocateBuffer block.
struct EntryId {
    explicit EntryId(const MapiLibrary& mapi) : bytes(mapi) {}
    ULONG size = 0;
    MapiBuffer<ENTRYID> bytes;
};
