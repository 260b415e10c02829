// Reads the Global Address List of generated entries from the MAPI stand-in the way the
// program does (logon, then QueryRows and FreeProws) and prints the rows per second: the
// bare delivery that a Connect's read time is held against.
//   wine build/win64/bench/mapisim/mapisim_bench.exe [entries] [batch]
// It loads the MAPI32.dll of the prefix's system folder, as the program does.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include "tests/mapisim/MapiLibrary.h"
#include "tests/support/MapiScenario.h"

int wmain(int argc, wchar_t** argv) {
    const unsigned long entries = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 500000;
    const LONG batch = argc > 2 ? static_cast<LONG>(std::wcstol(argv[2], nullptr, 10)) : 25;
    MapiScenario scenario("profile_dialog=auto\ngenerate=" + std::to_string(entries) + "\n");

    MapiLibrary mapi;
    if (!mapi.Loaded()) {
        std::printf("cannot load MAPI32.dll from the system folder\n");
        return 1;
    }
    // Timed from before the logon: the stand-in makes its directory at MAPIInitialize, and
    // a Connect pays for that too.
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    GalSession session(mapi);
    Ref<IMAPITable> table;
    const HRESULT opened = session.OpenGalTable(table);
    if (FAILED(opened)) {
        std::printf(
            "opening the GAL failed: 0x%08lX (Wine's own mapi32? run with WINEDLLOVERRIDES=mapi32=n)\n",
            static_cast<unsigned long>(opened));
        return 1;
    }

    unsigned long long rows = 0, nameBytes = 0;
    for (;;) {
        LPSRowSet set = nullptr;
        const HRESULT result = table->QueryRows(batch, 0, &set);
        if (FAILED(result)) {
            std::printf("QueryRows failed: 0x%08lX\n", static_cast<unsigned long>(result));
            break;
        }
        const ULONG count = set->cRows;
        for (ULONG i = 0; i < count; ++i) {
            const SPropValue& name = set->aRow[i].lpProps[1];
            if (PROP_TYPE(name.ulPropTag) == PT_UNICODE)
                nameBytes += std::wcslen(name.Value.lpszW) * sizeof(wchar_t);
            else if (PROP_TYPE(name.ulPropTag) == PT_STRING8)
                nameBytes += std::strlen(name.Value.lpszA);
        }
        rows += count;
        mapi.FreeProws(set);
        if (count == 0)
            break;
    }
    ::QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    std::printf(
        "%d-bit QueryRows+FreeProws: %llu rows in batches of %ld, %.3f s, %.0f rows/s (%llu name bytes)\n",
        static_cast<int>(sizeof(void*) * 8), rows, static_cast<long>(batch), seconds,
        seconds > 0 ? rows / seconds : 0.0, nameBytes);
    return rows == entries ? 0 : 1;
}
