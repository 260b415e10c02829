#pragma once
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>

// Extended MAPI, bound by ordinal from the MAPI32.dll of the system directory only, so a
// MAPI32.dll planted in the program's folder or the current folder is never loaded.
// Once loaded it stays loaded until the process ends: a provider may leave threads running
// after MAPIUninitialize, and unloading its code under them would crash the process later.
class MapiLibrary {
public:
    using HrQueryAllRowsFn = HRESULT(STDAPICALLTYPE*)(LPMAPITABLE, LPSPropTagArray, LPSRestriction,
                                                      LPSSortOrderSet, LONG, LPSRowSet*);
    using FreeProwsFn = void(STDAPICALLTYPE*)(LPSRowSet);
    using UlReleaseFn = ULONG(STDAPICALLTYPE*)(LPVOID);

    explicit MapiLibrary(const wchar_t* fileName = L"MAPI32.dll") : fileName(fileName) {}
    MapiLibrary(const MapiLibrary&) = delete;
    MapiLibrary& operator=(const MapiLibrary&) = delete;
    MapiLibrary& operator=(MapiLibrary&&) = default;

    // True when the library and every entry point were found (at once when an earlier
    // call found them); otherwise nothing stays loaded.
    bool Load();

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
