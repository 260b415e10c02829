// Reads a generated directory through the MAPI stand-in the way a Connect does and prints
// rows per second and the process's peak memory. Usage: reader_bench [entries]
#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include <cwchar>
#include "buildmatch/BuildBitness.h"
#include "directory/DirectoryReader.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/OutlookRegistry.h"

int wmain(int argc, wchar_t** argv) {
    const unsigned long entries = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 500000;
    OutlookRegistry outlook;
    outlook.Report(BuildBitness);
    MapiScenario scenario("profile_dialog=auto\ngenerate=" + std::to_string(entries) + "\n");

    AddressStore store;
    MessageRecorder window;
    DirectoryReader reader;
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    reader.Start(&store, window.Window());
    window.PumpUntil([&] { return window.SawDone(); }, 600000);
    ::QueryPerformanceCounter(&end);
    reader.Wait();

    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    std::printf(
        "%d-bit: %llu entries in %.3f s: %.0f entries/s; %zu status messages; peak working set %.1f MiB\n",
        static_cast<int>(sizeof(void*) * 8), static_cast<unsigned long long>(store.Count()), seconds,
        store.Count() / seconds, window.Records().size(), memory.PeakWorkingSetSize / 1048576.0);
    return store.Count() == entries ? 0 : 1;
}
