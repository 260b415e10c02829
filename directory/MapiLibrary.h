#pragma once
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>

// Extended MAPI, bound by ordinal from the MAPI32.dll of the system directory only, so a
// MAPI32.dll planted in the program's folder or the current folder is never loaded.
class MapiLibrary {
public:
    using HrQueryAllRowsFn = HRESULT(STDAPICALLTYPE*)(LPMAPITABLE, LPSPropTagArray, LPSRestriction,
                                                      LPSSortOrderSet, LONG, LPSRowSet*);
    using FreeProwsFn = void(STDAPICALLTYPE*)(LPSRowSet);
    using UlReleaseFn = ULONG(STDAPICALLTYPE*)(LPVOID);

    explicit MapiLibrary(const wchar_t* fileName = L"MAPI32.dll") : fileName(fileName) {}
    ~MapiLibrary() { Unload(); }
    MapiLibrary(const MapiLibrary&) = delete;
    MapiLibrary& operator=(const MapiLibrary&) = delete;

    // True when the library and every entry point were found; otherwise nothing stays loaded.
    bool Load();
    void Unload();

    LPMAPIINITIALIZE MAPIInitialize = nullptr;
    LPMAPILOGONEX MAPILogonEx = nullptr;
    LPMAPIUNINITIALIZE MAPIUninitialize = nullptr;
    LPMAPIALLOCATEBUFFER MAPIAllocateBuffer = nullptr;
    LPMAPIFREEBUFFER MAPIFreeBuffer = nullptr;
    HrQueryAllRowsFn HrQueryAllRows = nullptr;
    FreeProwsFn FreeProws = nullptr;
    UlReleaseFn UlRelease = nullptr;

private:
    const wchar_t* fileName;
    HMODULE module = nullptr;
};

// Unloads the library when the scope of one use ends.
class ScopedUnload {
public:
    explicit ScopedUnload(MapiLibrary& library) : library(library) {}
    ~ScopedUnload() { library.Unload(); }
    ScopedUnload(const ScopedUnload&) = delete;
    ScopedUnload& operator=(const ScopedUnload&) = delete;

private:
    MapiLibrary& library;
};
