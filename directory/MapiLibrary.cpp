#include "directory/MapiLibrary.h"
#include "base/ScopedWin.h"

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
    // Freed again unless every entry point is found: nothing of it has been called then.
    ScopedModule loaded(::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    HMODULE m = loaded.Get();
    if (!m || !(Bind(m, 21, MAPIInitialize) && Bind(m, 11, MAPILogonEx) && Bind(m, 23, MAPIUninitialize) &&
                Bind(m, 13, MAPIAllocateBuffer) && Bind(m, 17, MAPIFreeBuffer) &&
                Bind(m, 75, HrQueryAllRows) && Bind(m, 140, FreeProws) && Bind(m, 129, UlRelease))) {
        *this = MapiLibrary(fileName);
        return false;
    }
    module = loaded.Detach();
    return true;
}
