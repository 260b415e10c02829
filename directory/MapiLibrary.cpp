#include "directory/MapiLibrary.h"

namespace {
template <typename F> bool Bind(HMODULE module, WORD ordinal, F& function) {
    // GetProcAddress hands back a generic pointer; the ordinal fixes the real signature.
    function =
        reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
    return function != nullptr;
}
} // namespace

bool MapiLibrary::Load() {
    if (module)
        return true;
    module = ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module)
        return false;
    const bool bound = Bind(module, 21, MAPIInitialize) && Bind(module, 11, MAPILogonEx) &&
                       Bind(module, 23, MAPIUninitialize) && Bind(module, 13, MAPIAllocateBuffer) &&
                       Bind(module, 17, MAPIFreeBuffer) && Bind(module, 75, HrQueryAllRows) &&
                       Bind(module, 140, FreeProws) && Bind(module, 129, UlRelease);
    if (!bound) {
        // Nothing of it was called, so it can go again.
        ::FreeLibrary(module);
        Forget();
    }
    return bound;
}

void MapiLibrary::Forget() {
    module = nullptr;
    MAPIInitialize = nullptr;
    MAPILogonEx = nullptr;
    MAPIUninitialize = nullptr;
    MAPIAllocateBuffer = nullptr;
    MAPIFreeBuffer = nullptr;
    HrQueryAllRows = nullptr;
    FreeProws = nullptr;
    UlRelease = nullptr;
}
