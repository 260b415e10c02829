// Exports a store of 500,000 entries to a real file and prints the rate; then saves it as
// CSV the window's way (ExportCsvWith: status texts and the message pump every 100 entries)
// and the console's way (WriteEntries through a replacement file, nothing else), in turn.
//   wine build/win64/bench/export/export_bench.exe [entries]
#include <windows.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>
#include "base/ScopedWin.h"
#include "directory/AddressStore.h"
#include "export/AddressListExport.h"
#include "export/EntryWriter.h"
#include "export/ReplacementFile.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempFolder.h"
#include "text/TextConversion.h"

namespace {

void FillStore(AddressStore& store, uint64_t count) {
    for (uint64_t k = 0; k < count; ++k) {
        const std::wstring n = std::to_wstring(k);
        const std::wstring name = L"Employee Number " + n + L" (Zo\u00EB)",
                           email = L"employee." + n + L"@example.com",
                           dn = L"/o=ExampleOrg/ou=Exchange Administrative Group "
                                L"(FYDIBOHF23SPDLT)/cn=Recipients/cn=employee" +
                                n;
        store.Append({EntryType::MailUser, EntryKind::MailboxUser, {}, L"mailuser", name, email, dn});
    }
}

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& stop) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart;
}

// The window's Save as CSV, its dialog answered with path at once.
double WindowCsvSeconds(AddressStore& store, MessageRecorder& window, const std::wstring& path) {
    LARGE_INTEGER start, stop;
    ::QueryPerformanceCounter(&start);
    WideString chosen;
    ExportCsvWith(store, window.Window(), nullptr, chosen,
                  [&](HWND, WideString& folder, const WideString&, const WideString&) {
                      folder = path;
                      return true;
                  });
    ::QueryPerformanceCounter(&stop);
    window.PumpPending();
    return Seconds(start, stop);
}

// The console's CSV write of the same store.
double ConsoleCsvSeconds(const AddressStore& store, const std::wstring& path) {
    LARGE_INTEGER start, stop;
    ::QueryPerformanceCounter(&start);
    ReplacementFile file;
    if (!file.Open(path))
        return 0;
    EntryWriterOptions options;
    options.format = ExportFormat::Csv;
    options.bufferBytes = kWholeFileBuffer;
    WriteEntries(file.Handle(), store, options, [](uint64_t) { return true; });
    file.Commit();
    ::QueryPerformanceCounter(&stop);
    return Seconds(start, stop);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const uint64_t count = argc > 1 ? std::wcstoull(argv[1], nullptr, 10) : 500000;
    // Stands in for the main window: takes each status text and frees it.
    MessageRecorder window;

    AddressStore store;
    FillStore(store, count);
    const TempFolder folder;
    const std::wstring path = folder.File(L"GAL.txt");

    LARGE_INTEGER frequency, start, stop;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    ExportAddressListWith(store, window.Window(),
                          [&](HWND, WideString& chosen, const WideString&, const WideString&) {
                              chosen = path;
                              return true;
                          });
    ::QueryPerformanceCounter(&stop);

    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    const unsigned long long bytes =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    window.PumpPending();

    const double seconds = static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart;

    // The baseline: the same lines, encoded beforehand, one write each.
    std::vector<ByteString> lines;
    lines.reserve(count);
    for (uint64_t k = 0; k < count; ++k) {
        const AddressEntry* entry = store.At(k);
        lines.push_back(WideToMultiByte(WideString(entry->typeText) + L"|" + WideString(entry->userName) +
                                            L"|" + WideString(entry->email) + L"|" +
                                            WideString(entry->distinguishedName) + L"\r\n",
                                        CP_UTF8));
    }
    const std::wstring baselinePath = folder.File(L"baseline.txt");
    ::QueryPerformanceCounter(&start);
    {
        AutoCloseHandle file(::CreateFileW(baselinePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        for (const ByteString& line : lines)
            ::WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    ::QueryPerformanceCounter(&stop);
    const double baseline = static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart;
    lines = std::vector<ByteString>();
    const std::wstring csvPath = folder.File(L"GAL.csv");
    const double windowCsv = WindowCsvSeconds(store, window, csvPath);
    const double consoleCsv = ConsoleCsvSeconds(store, csvPath);
    std::printf("export: %llu entries, %llu bytes in %.3f s: %.0f entries/s, %.1f MB/s; baseline %.3f s; "
                "csv %.3f s, console csv %.3f s\n",
                static_cast<unsigned long long>(count), bytes, seconds, count / seconds,
                bytes / seconds / 1e6, baseline, windowCsv, consoleCsv);
    return 0;
}
