// Reads the Global Address List of 500,000 generated entries from the MAPI stand-in the
// way the program does (QueryRows, then FreeProws) and prints the rows per second.
//   WINEDLLOVERRIDES=mapi32=n wine build/win64/bench/mapisim/mapisim_bench.exe [entries] [batch] [MAPI32.dll]
// Without a path it loads this build tree's MAPI32.dll.
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>
#include <mapicode.h>
#include <mapitags.h>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

using HrQueryAllRowsFn = HRESULT(WINAPI*)(LPMAPITABLE, LPSPropTagArray, LPSRestriction, LPSSortOrderSet, LONG,
                                          LPSRowSet*);
using FreeProwsFn = void(WINAPI*)(LPSRowSet);

struct Mapi {
    LPMAPIINITIALIZE initialize;
    LPMAPIUNINITIALIZE uninitialize;
    LPMAPILOGONEX logon;
    HrQueryAllRowsFn queryAllRows;
    FreeProwsFn freeProws;
};

template <class F> F Ordinal(HMODULE module, int ordinal) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

// This build's DLL as Wine sees it (the Unix root is drive Z:).
std::wstring BuiltDll() {
    const std::string unixPath = MAPISIM_BUILT_DLL;
    std::wstring path = L"Z:";
    for (char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Check(HRESULT result, const char* step) {
    if (SUCCEEDED(result))
        return true;
    std::printf("%s failed: 0x%08lX\n", step, static_cast<unsigned long>(result));
    return false;
}

// Opens the GAL's contents table with the program's columns.
bool OpenGalTable(const Mapi& mapi, IMAPISession* session, IAddrBook** book, IMAPITable** table) {
    if (!Check(session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, book), "OpenAddressBook"))
        return false;
    ULONG type = 0;
    IMAPIContainer* root = nullptr;
    if (!Check((*book)->OpenEntry(0, nullptr, nullptr, MAPI_DEFERRED_ERRORS, &type,
                                  reinterpret_cast<LPUNKNOWN*>(&root)),
               "OpenEntry(root)"))
        return false;
    IMAPITable* hierarchy = nullptr;
    HRESULT result = root->GetHierarchyTable(CONVENIENT_DEPTH | MAPI_DEFERRED_ERRORS, &hierarchy);
    root->Release();
    if (!Check(result, "GetHierarchyTable"))
        return false;
    static const BYTE muidEmsAb[16] = {0xDC, 0xA7, 0x40, 0xC8, 0xC0, 0x42, 0x10, 0x1A,
                                       0xB4, 0xB9, 0x08, 0x00, 0x2B, 0x2F, 0xE1, 0x82};
    SPropValue provider{};
    provider.ulPropTag = PR_AB_PROVIDER_ID;
    provider.Value.bin = SBinary{16, const_cast<LPBYTE>(muidEmsAb)};
    SPropValue containerId{};
    containerId.ulPropTag = PROP_TAG(PT_LONG, 0xFFFD);
    SRestriction parts[2] = {};
    parts[0].rt = parts[1].rt = RES_PROPERTY;
    parts[0].res.resProperty = SPropertyRestriction{RELOP_EQ, provider.ulPropTag, &provider};
    parts[1].res.resProperty = SPropertyRestriction{RELOP_EQ, containerId.ulPropTag, &containerId};
    SRestriction both{};
    both.rt = RES_AND;
    both.res.resAnd = SAndRestriction{2, parts};
    SizedSPropTagArray(1, entryIdTag) = {1, {PR_ENTRYID}};
    LPSRowSet rows = nullptr;
    result = mapi.queryAllRows(hierarchy, reinterpret_cast<LPSPropTagArray>(&entryIdTag), &both, nullptr, 0,
                               &rows);
    hierarchy->Release();
    if (!Check(result, "HrQueryAllRows") || rows->cRows != 1) {
        std::printf("no single GAL\n");
        return false;
    }
    IMAPIContainer* gal = nullptr;
    const SBinary& id = rows->aRow[0].lpProps[0].Value.bin;
    result = (*book)->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, MAPI_BEST_ACCESS, &type,
                                reinterpret_cast<LPUNKNOWN*>(&gal));
    mapi.freeProws(rows);
    if (!Check(result, "OpenEntry(GAL)"))
        return false;
    result = gal->GetContentsTable(0, table);
    gal->Release();
    if (!Check(result, "GetContentsTable"))
        return false;
    SizedSPropTagArray(4, columns) = {
        4, {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_A, PROP_TAG(PT_STRING8, 0x39FE), PROP_TAG(PT_STRING8, 0x803C)}};
    return Check((*table)->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), TBL_BATCH), "SetColumns");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const unsigned long entries = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 500000;
    const LONG batch = argc > 2 ? static_cast<LONG>(std::wcstol(argv[2], nullptr, 10)) : 25;
    const std::wstring dll = argc > 3 ? argv[3] : BuiltDll();

    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    const std::wstring scenarioPath =
        std::wstring(folder) + L"mapisim-bench-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
    const std::string scenario = "profile_dialog=auto\ngenerate=" + std::to_string(entries) + "\n";
    HANDLE file = ::CreateFileW(scenarioPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, scenario.data(), static_cast<DWORD>(scenario.size()), &written, nullptr);
    ::CloseHandle(file);
    ::SetEnvironmentVariableW(L"MAPISIM_SCENARIO", scenarioPath.c_str());

    HMODULE module = ::LoadLibraryW(dll.c_str());
    if (!module)
        module = ::LoadLibraryExW(L"MAPI32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) {
        std::printf("cannot load MAPI32.dll\n");
        return 1;
    }
    const Mapi mapi{Ordinal<LPMAPIINITIALIZE>(module, 21), Ordinal<LPMAPIUNINITIALIZE>(module, 23),
                    Ordinal<LPMAPILOGONEX>(module, 11), Ordinal<HrQueryAllRowsFn>(module, 75),
                    Ordinal<FreeProwsFn>(module, 140)};

    int exitCode = 1;
    MAPIINIT_0 init{MAPI_INIT_VERSION, MAPI_MULTITHREAD_NOTIFICATIONS};
    const HRESULT initialized = mapi.initialize(&init);
    if (FAILED(initialized))
        std::printf("Wine's own mapi32 answered? Run with WINEDLLOVERRIDES=mapi32=n\n");
    if (Check(initialized, "MAPIInitialize")) {
        IMAPISession* session = nullptr;
        IAddrBook* book = nullptr;
        IMAPITable* table = nullptr;
        if (Check(mapi.logon(0, nullptr, nullptr, 0x8023, &session), "MAPILogonEx") &&
            OpenGalTable(mapi, session, &book, &table)) {
            unsigned long long rows = 0, bytes = 0;
            LARGE_INTEGER start, end;
            ::QueryPerformanceCounter(&start);
            for (;;) {
                LPSRowSet set = nullptr;
                if (!Check(table->QueryRows(batch, 0, &set), "QueryRows"))
                    break;
                const ULONG count = set->cRows;
                for (ULONG i = 0; i < count; ++i) {
                    const SPropValue& name = set->aRow[i].lpProps[1];
                    if (PROP_TYPE(name.ulPropTag) == PT_STRING8)
                        bytes += std::strlen(name.Value.lpszA);
                }
                rows += count;
                mapi.freeProws(set);
                if (count == 0)
                    break;
            }
            ::QueryPerformanceCounter(&end);
            const double seconds = Seconds(start, end);
            std::printf(
                "QueryRows+FreeProws: %llu rows in batches of %ld, %.3f s, %.0f rows/s (%llu name bytes)\n",
                rows, static_cast<long>(batch), seconds, seconds > 0 ? rows / seconds : 0.0, bytes);
            exitCode = rows == entries ? 0 : 1;
        }
        if (table)
            table->Release();
        if (book)
            book->Release();
        if (session) {
            session->Logoff(0, MAPI_LOGOFF_SHARED, 0);
            session->Release();
        }
        mapi.uninitialize();
    }
    ::FreeLibrary(module);
    ::SetEnvironmentVariableW(L"MAPISIM_SCENARIO", nullptr);
    ::DeleteFileW(scenarioPath.c_str());
    return exitCode;
}
