// A whole Connect through the real main window over a generated directory of the MAPI
// stand-in, then a scroll through the list, printing one line of figures:
//   read_s     from the Connect command to the idle state with the final counters applied
//   lag_ms     from the posting of the last batch's counts to the idle state
//   waiting    the most progress messages posted and not yet applied at one time
//   mem_B      private bytes after the read minus before, per entry
//   text_B     the entries' UTF-16 text bytes, per entry
//   page_ms    time per page of a page-by-page scroll with painting (sampled pages)
//   touch_us   this machine's cost of writing to a fresh 4 KiB page for the first time: the
//              entries' memory is paid for in such pages
//   peak_MiB   the process's peak commit charge as the system reports it, read and scroll
//              included (under Wine: the Linux process's, which under qemu-i386 is qemu's)
//   commit_MiB, space_MiB  the largest committed, and reserved or committed, address space
//              seen while reading and after, as the process's own VirtualQuery walk finds it:
//              what a 32-bit process must fit into its 2 GiB (4 GiB large-address-aware)
//   sort_s     a click on the Username heading until the list is sorted; sort_dn_s the same
//              for Distinguished Name (long texts with a long common beginning); each column
//              both ways: sort_type_s, sort_type_desc_s, sort_user_desc_s, sort_email_s,
//              sort_email_desc_s, sort_dn_desc_s, and the slowest of the eight, sort_max_s
//   select_s   every row selected (Ctrl+A: one LVM_SETITEMSTATE for all rows)
//   copy_s     every row copied to the clipboard (the Copy command)
//   sort_gap_ms the longest time in any of the eight sorts in which the window dispatched no
//              message (a 10 ms timer's ticks): how long it could not paint
//   sort_cpu_max_s, copy_cpu_s  the processor time of the process's threads in the
//              costliest sort and in the copy: the work itself, which a busy machine's
//              wall-clock figures hide
// usage: window_bench [entries] [sampled pages]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>
#include "app/Form_Main.h"
#include "buildmatch/BuildBitness.h"
#include "resources/ResourceIds.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/OutlookRegistry.h"

namespace {

// A 10 ms timer's ticks during a sort: the longest time between two of them (or from the
// click to the first) is how long the window answered no message.
struct TickGaps {
    double last = 0;
    double longest = 0;
};
TickGaps ticks;

double Now() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    const double now = Now();
    ticks.longest = std::max(ticks.longest, now - ticks.last);
    ticks.last = now;
}

PROCESS_MEMORY_COUNTERS_EX MemoryCounters() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory));
    return memory;
}

// The process's processor time, all threads: what the work cost, whatever else the machine runs.
double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

SIZE_T PrivateBytes() {
    const PROCESS_MEMORY_COUNTERS_EX memory = MemoryCounters();
    // Wine reports no PrivateUsage; the commit charge it does report is the same thing here.
    return memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
}

struct AddressSpace {
    SIZE_T committed = 0;
    SIZE_T used = 0;
    void KeepLargest(const AddressSpace& other) {
        committed = std::max(committed, other.committed);
        used = std::max(used, other.used);
    }
};

AddressSpace AddressSpaceNow() {
    AddressSpace space;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof(region)) == sizeof(region);) {
        if (region.State == MEM_COMMIT)
            space.committed += region.RegionSize;
        if (region.State != MEM_FREE)
            space.used += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return space;
}

// Commits 64 MiB and writes one byte to each page: the first write to a page faults.
double FirstTouchMicroseconds() {
    const SIZE_T size = 64u << 20;
    auto* block =
        static_cast<volatile char*>(::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!block)
        return 0;
    const double start = Now();
    for (SIZE_T offset = 0; offset < size; offset += 4096)
        block[offset] = 1;
    const double seconds = Now() - start;
    ::VirtualFree(const_cast<char*>(block), 0, MEM_RELEASE);
    return seconds / (size / 4096) * 1e6;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const unsigned long entries = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 100000;
    const int sampledPages = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 500;
    OutlookRegistry outlook;
    outlook.Report(BuildBitness);
    MapiScenario scenario("profile_dialog=auto\ngenerate=" + std::to_string(entries) + "\n");

    Form_Main form;
    WindowSettings settings;
    settings.instance = ::GetModuleHandleW(nullptr);
    settings.title = kWindowTitle;
    if (!form.Create(settings))
        return 1;
    form.SetShowState(SW_SHOWNORMAL);
    HWND window = form.Window();
    HWND listView = ::GetDlgItem(window, IDC_LIST);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);

    const SIZE_T before = PrivateBytes();
    // Posting times (msg.time, ms) of the progress messages, and when each was applied.
    std::vector<DWORD> posted, applied;
    DWORD lastCountsPosted = 0;
    const double start = Now();
    ::SendMessageW(window, WM_COMMAND, IDM_CONNECT, 0);
    double idle = 0, applying = 0, other = 0;
    AddressSpace largest = AddressSpaceNow();
    while (idle == 0 && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        const bool status = msg.message == UWM_STATUS && msg.hwnd == window;
        const double dispatchStart = Now();
        ::DispatchMessageW(&msg);
        if (status)
            applying += Now() - dispatchStart;
        else
            other += Now() - dispatchStart;
        if (status && msg.wParam == STATUS_COUNTS) {
            largest.KeepLargest(AddressSpaceNow());
            posted.push_back(msg.time);
            applied.push_back(::GetTickCount());
            lastCountsPosted = msg.time;
        } else if (status && msg.wParam == STATUS_DONE) {
            idle = Now();
        }
    }
    const DWORD idleTick = ::GetTickCount();
    const SIZE_T after = PrivateBytes();

    // The most messages posted and not yet applied, at the moments one was applied.
    size_t waiting = 0;
    std::vector<DWORD> sortedPosts = posted;
    std::sort(sortedPosts.begin(), sortedPosts.end());
    for (size_t i = 0; i < applied.size(); ++i) {
        const size_t postedSoFar =
            std::upper_bound(sortedPosts.begin(), sortedPosts.end(), applied[i]) - sortedPosts.begin();
        waiting = std::max(waiting, postedSoFar > i ? postedSoFar - i : 0);
    }

    // The entries' texts, as the list shows them.
    const LRESULT count = ::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0);
    unsigned long long textBytes = 0;
    wchar_t text[1024];
    for (LRESULT item = 0; item < count; ++item) {
        for (int column = 0; column < 4; ++column) {
            LVITEMW cell = {};
            cell.iSubItem = column;
            cell.pszText = text;
            cell.cchTextMax = 1024;
            textBytes +=
                2 * ::SendMessageW(listView, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
        }
    }

    // Page by page from the top, sampled evenly over the list, each page painted.
    const LRESULT perPage = std::max<LRESULT>(1, ::SendMessageW(listView, LVM_GETCOUNTPERPAGE, 0, 0));
    const LRESULT pages = std::max<LRESULT>(1, count / perPage);
    const int samples = static_cast<int>(std::min<LRESULT>(sampledPages, pages));
    double scrolling = 0;
    for (int s = 0; s < samples; ++s) {
        const LRESULT top = pages * s / samples * perPage;
        ::SendMessageW(listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(std::max<LRESULT>(0, top - 1)),
                       FALSE);
        ::UpdateWindow(listView);
        const double pageStart = Now();
        ::SendMessageW(listView, WM_VSCROLL, SB_PAGEDOWN, 0);
        ::UpdateWindow(listView);
        scrolling += Now() - pageStart;
    }

    largest.KeepLargest(AddressSpaceNow());
    const double mebibyte = 1 << 20;
    const double peakMiB = static_cast<double>(MemoryCounters().PeakPagefileUsage) / mebibyte;
    // The heading clicks as the list reports them to the window.
    const auto sortBy = [&](int column) {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = listView;
        click.hdr.idFrom = IDC_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        const double sortStart = Now();
        ticks.last = sortStart;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, CountTick);
        ::SendMessageW(window, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click));
        const double sortEnd = Now();
        ticks.longest = std::max(ticks.longest, sortEnd - ticks.last);
        ::KillTimer(nullptr, timer);
        return sortEnd - sortStart;
    };
    // Each heading twice: up, then down.
    double sorts[4][2] = {};
    double slowest = 0, mostCpu = 0;
    for (int column = 0; column < 4; ++column) {
        for (int way = 0; way < 2; ++way) {
            const double cpuStart = CpuSeconds();
            sorts[column][way] = sortBy(column);
            slowest = std::max(slowest, sorts[column][way]);
            mostCpu = std::max(mostCpu, CpuSeconds() - cpuStart);
        }
    }
    LVITEMW all = {};
    all.state = all.stateMask = LVIS_SELECTED;
    const double selectStart = Now();
    ::SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    const double selectSeconds = Now() - selectStart;
    const double copyStart = Now(), copyCpuStart = CpuSeconds();
    ::SendMessageW(window, WM_COMMAND, IDM_COPY, 0);
    const double copySeconds = Now() - copyStart, copyCpu = CpuSeconds() - copyCpuStart;

    std::printf("applying status %.3f s, other messages %.3f s\n", applying, other);
    std::printf("%d-bit entries=%lu items=%ld read_s=%.3f lag_ms=%lu waiting=%zu progress=%zu mem_B=%.0f "
                "text_B=%.0f page_ms=%.3f touch_us=%.2f peak_MiB=%.0f commit_MiB=%.0f space_MiB=%.0f "
                "sort_s=%.3f sort_dn_s=%.3f sort_type_s=%.3f sort_type_desc_s=%.3f sort_user_desc_s=%.3f "
                "sort_email_s=%.3f sort_email_desc_s=%.3f sort_dn_desc_s=%.3f sort_max_s=%.3f select_s=%.3f "
                "copy_s=%.3f sort_cpu_max_s=%.3f copy_cpu_s=%.3f sort_gap_ms=%.0f\n",
                static_cast<int>(sizeof(void*) * 8), entries, static_cast<long>(count), idle - start,
                static_cast<unsigned long>(idleTick - lastCountsPosted), waiting, posted.size(),
                static_cast<double>(after - before) / entries, static_cast<double>(textBytes) / entries,
                samples ? scrolling / samples * 1000 : 0.0, FirstTouchMicroseconds(), peakMiB,
                largest.committed / mebibyte, largest.used / mebibyte, sorts[1][0], sorts[3][0], sorts[0][0],
                sorts[0][1], sorts[1][1], sorts[2][0], sorts[2][1], sorts[3][1], slowest, selectSeconds,
                copySeconds, mostCpu, copyCpu, ticks.longest * 1000);
    ::DestroyWindow(window);
    form.StopReading(INFINITE);
    return static_cast<unsigned long>(count) == entries ? 0 : 1;
}
