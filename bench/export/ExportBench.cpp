// Exports a store of 500,000 entries to a real file and prints the rate.
//   wine build/win64/bench/export/export_bench.exe [entries]
#include <windows.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include "app/ScopedWin.h"
#include "app/StatusMessage.h"
#include "directory/AddressStore.h"
#include "export/AddressListExport.h"

namespace {

// The main window's part in an export: takes each status text and frees it.
LRESULT CALLBACK StatusSink(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UWM_STATUS) {
        TakeStatusMessage(lParam);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void FillStore(AddressStore& store, uint64_t count) {
    for (uint64_t k = 0; k < count; ++k) {
        const std::wstring n = std::to_wstring(k);
        auto entry = std::make_unique<AddressEntry>();
        entry->typeText = L"mailuser";
        entry->userName = L"Employee Number " + n + L" (Zo\u00EB)";
        entry->email = L"employee." + n + L"@example.com";
        entry->distinguishedName =
            L"/o=ExampleOrg/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=employee" + n;
        store.Append(std::move(entry));
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const uint64_t count = argc > 1 ? std::wcstoull(argv[1], nullptr, 10) : 500000;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = StatusSink;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RostermintBenchSink";
    ::RegisterClassExW(&wc);
    ScopedWindow window(::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          wc.hInstance, nullptr));

    AddressStore store;
    FillStore(store, count);
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"rostermint-export-bench.txt";

    LARGE_INTEGER frequency, start, stop;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    ExportAddressListWith(GApplication(), store, window.Get(),
                          [&](HWND, WideString& folder, const WideString&, const WideString&) {
                              folder = path;
                              return true;
                          });
    ::QueryPerformanceCounter(&stop);

    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    const unsigned long long bytes =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    ::DeleteFileW(path.c_str());
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);

    const double seconds = static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart;
    std::printf("export: %llu entries, %llu bytes in %.3f s: %.0f entries/s, %.1f MB/s\n",
                static_cast<unsigned long long>(count), bytes, seconds, count / seconds,
                bytes / seconds / 1e6);
    return 0;
}
