// Reads the Global Address List of generated entries from the MAPI stand-in the way the
// program does (logon, then QueryRows and FreeProws) and prints the rows per second: the
// bare delivery that a Connect's read time is held against. With "keep", each row's texts
// are also copied, as UTF-16 with their terminators, into one growing block of fresh memory
// with no allocation per text: the keep floor, what no store of those texts can beat. With
// "details", the columns also ask for every directory detail of the catalogue. The columns
// are the reader's own (directory/EntryRow.h).
//   wine build/win64/bench/mapisim/mapisim_bench.exe [entries] [batch] [keep|details]
// It loads the MAPI32.dll of the prefix's system folder, as the program does.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>
#include "directory/ColumnCatalogue.h"
#include "directory/EntryRow.h"
#include "tests/mapisim/StandIn.h"
#include "tests/support/MapiScenario.h"

namespace {

// One block of address space, committed a step at a time as the texts fill it.
class GrowingBlock {
public:
    GrowingBlock() {
        // Half a gigabyte at a time is what a 32-bit process can still reserve in one piece.
        for (reserved = SIZE_T(sizeof(void*) == 8 ? 4096 : 512) << 20; reserved >= kStep; reserved /= 2) {
            base = static_cast<char*>(::VirtualAlloc(nullptr, reserved, MEM_RESERVE, PAGE_READWRITE));
            if (base)
                break;
        }
    }
    ~GrowingBlock() {
        if (base)
            ::VirtualFree(base, 0, MEM_RELEASE);
    }
    GrowingBlock(const GrowingBlock&) = delete;
    GrowingBlock& operator=(const GrowingBlock&) = delete;

    // Room for `bytes` more, or null when the reservation is used up.
    char* Room(SIZE_T bytes) {
        if (!base || used + bytes > reserved)
            return nullptr;
        while (used + bytes > committed) {
            if (!::VirtualAlloc(base + committed, kStep, MEM_COMMIT, PAGE_READWRITE))
                return nullptr;
            committed += kStep;
        }
        char* room = base + used;
        used += bytes;
        return room;
    }
    SIZE_T Used() const { return used; }

private:
    static constexpr SIZE_T kStep = SIZE_T(1) << 20;
    char* base = nullptr;
    SIZE_T reserved = 0, committed = 0, used = 0;
};

// Copies the row's texts into the block: UTF-16 as it stands, 8-bit text widened byte by
// byte (the cost of a copy, not of a decoding).
bool KeepTexts(const SRow& row, GrowingBlock& block) {
    for (ULONG k = 0; k < row.cValues; ++k) {
        const SPropValue& value = row.lpProps[k];
        if (PROP_TYPE(value.ulPropTag) == PT_UNICODE && value.Value.lpszW) {
            const SIZE_T bytes = (std::wcslen(value.Value.lpszW) + 1) * sizeof(wchar_t);
            char* room = block.Room(bytes);
            if (!room)
                return false;
            std::memcpy(room, value.Value.lpszW, bytes);
        } else if (PROP_TYPE(value.ulPropTag) == PT_STRING8 && value.Value.lpszA) {
            const SIZE_T length = std::strlen(value.Value.lpszA) + 1;
            auto* room = reinterpret_cast<wchar_t*>(block.Room(length * sizeof(wchar_t)));
            if (!room)
                return false;
            const auto* bytes = reinterpret_cast<const unsigned char*>(value.Value.lpszA);
            for (SIZE_T i = 0; i < length; ++i)
                room[i] = bytes[i];
        }
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const unsigned long entries = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 500000;
    const LONG batch = argc > 2 ? static_cast<LONG>(std::wcstol(argv[2], nullptr, 10)) : 25;
    const bool keep = argc > 3 && std::wcscmp(argv[3], L"keep") == 0;
    const bool withDetails = argc > 3 && std::wcscmp(argv[3], L"details") == 0;
    GrowingBlock kept;
    MapiScenario scenario("profile_dialog=auto\ngenerate=" + std::to_string(entries) + "\n");

    StandInLibrary mapi;
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
    MapiPtr<IMAPITable> table;
    const HRESULT opened = session.OpenGalTable(table);
    if (FAILED(opened)) {
        std::printf(
            "opening the GAL failed: 0x%08lX (Wine's own mapi32? run with WINEDLLOVERRIDES=mapi32=n)\n",
            static_cast<unsigned long>(opened));
        return 1;
    }
    // The reader's own columns, the entry identifier included, and with "details" every one.
    std::vector<ULONG> columns = ContentsColumns(true, withDetails ? details::kAll : 0);
    if (FAILED(table->SetColumns(reinterpret_cast<LPSPropTagArray>(columns.data()), TBL_BATCH))) {
        std::printf("SetColumns with the reader's columns failed\n");
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
            if (keep && !KeepTexts(set->aRow[i], kept)) {
                std::printf("no room to keep the texts\n");
                return 1;
            }
        }
        rows += count;
        mapi.FreeProws(set);
        if (count == 0)
            break;
    }
    ::QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    std::printf("%d-bit QueryRows+FreeProws%s: %llu rows in batches of %ld, %.3f s, %.0f rows/s (%llu name "
                "bytes, %.0f kept bytes per row)\n",
                static_cast<int>(sizeof(void*) * 8),
                keep          ? " keeping the texts"
                : withDetails ? " with every detail"
                              : "",
                rows, static_cast<long>(batch), seconds, seconds > 0 ? rows / seconds : 0.0, nameBytes,
                rows ? static_cast<double>(kept.Used()) / rows : 0.0);
    return rows == entries ? 0 : 1;
}
