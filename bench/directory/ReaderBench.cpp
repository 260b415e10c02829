// Reads a generated directory through the MAPI stand-in the way a Connect does, with the
// directory details asked for, then writes the store as CSV the console's way. Prints the
// read's time, the memory the store took per entry and the CSV write's time.
// Usage: reader_bench [entries] [all|NAME,NAME,...]
#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include "buildmatch/BuildBitness.h"
#include "directory/DirectoryReader.h"
#include "export/EntryWriter.h"
#include "export/ReplacementFile.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/OutlookRegistry.h"
#include "tests/support/TempFolder.h"

namespace {

// Wine reports no PrivateUsage; the commit charge it does report is the same thing here.
double PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory));
    return static_cast<double>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
}

double Now() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency.QuadPart;
}

details::DetailSet ParseDetails(const wchar_t* text) {
    const std::wstring wide = text;
    if (wide == L"all")
        return details::kAll;
    details::DetailSet chosen = 0;
    const std::string names(wide.begin(), wide.end());
    for (size_t start = 0; start <= names.size();) {
        const size_t comma = std::min(names.find(',', start), names.size());
        const int index = details::IndexOfName(names.data() + start, comma - start);
        if (index >= 0)
            chosen |= details::DetailSet(1) << index;
        start = comma + 1;
    }
    return chosen;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const unsigned long entries = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 500000;
    const details::DetailSet chosen = argc > 2 ? ParseDetails(argv[2]) : 0;
    OutlookRegistry outlook;
    outlook.Report(BuildBitness);
    MapiScenario scenario("profile_dialog=auto\ngenerate=" + std::to_string(entries) + "\n");

    AddressStore store;
    store.SetDetails(chosen);
    MessageRecorder window;
    DirectoryReader reader;
    const double before = PrivateBytes();
    const double start = Now();
    reader.Start(&store, window.Window());
    window.PumpUntil([&] { return window.SawDone(); }, 600000);
    const double read = Now() - start;
    reader.Wait();
    const double memory = (PrivateBytes() - before) / static_cast<double>(store.Count());

    const TempFolder folder;
    const double writeStart = Now();
    ReplacementFile file;
    EntryWriterOptions options;
    options.format = ExportFormat::Csv;
    options.bufferBytes = kWholeFileBuffer;
    const bool written =
        file.Open(folder.File(L"GAL.csv")) &&
        WriteEntries(file.Handle(), store, options, nullptr).outcome == WriteOutcome::Written &&
        file.Commit();
    const double csv = Now() - writeStart;

    std::printf("%d-bit entries=%llu details=%zu read_s=%.3f mem_B=%.0f csv_s=%.3f\n",
                static_cast<int>(sizeof(void*) * 8), static_cast<unsigned long long>(store.Count()),
                store.DetailCount(), read, memory, csv);
    return store.Count() == entries && written ? 0 : 1;
}
