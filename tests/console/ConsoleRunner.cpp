// Runs a console program with a Microsoft 365 Outlook of the given bitness in the test
// prefix's registry, passing on its standard handles and its exit code; the registry is
// cleaned afterwards.
//   console_runner.exe x86|x64|UNKNOWN [-stop c|kill FOLDER] PROGRAM.exe [ARGUMENT...]
// With -stop the program is stopped during its read, once its temporary file shows in
// FOLDER: by Ctrl+C on the console the two share, or by TerminateProcess. (Wine 8 sends no
// Ctrl+Break: GenerateConsoleCtrlEvent answers ERROR_INVALID_HANDLE for it.)
// The whole exit code then goes to the standard error too (a Unix exit status keeps 8 bits).
#include <windows.h>
#include <cstdio>
#include <cwchar>
#include <vector>
#include "base/ScopedWin.h"
#include "tests/support/OutlookRegistry.h"

namespace {
WideString Quoted(const WideString& argument) {
    return argument.empty() || argument.find_first_of(L" \t") != WideString::npos ? L"\"" + argument + L"\""
                                                                                  : argument;
}

// The runner outlives the events it sends.
BOOL WINAPI IgnoreControlEvent(DWORD) {
    return TRUE;
}

bool TemporaryFileShows(const WideString& folder) {
    for (int wait = 0; wait < 3000; ++wait) {
        WIN32_FIND_DATAW found;
        ScopedFindHandle search(::FindFirstFileW((folder + L"\\rmt*.tmp").c_str(), &found));
        if (search)
            return true;
        ::Sleep(20);
    }
    return false;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: console_runner x86|x64|UNKNOWN [-stop c|kill FOLDER] PROGRAM.exe [ARGUMENT...]\n");
        return 100;
    }
    OutlookRegistry outlook;
    Bitness bitness = Bitness::Unknown;
    if (!ParseBitness(argv[1], bitness) || !outlook.Report(bitness)) {
        std::fprintf(stderr, "console_runner: cannot register Outlook\n");
        return 101;
    }
    int program = 2;
    WideString stop, folder;
    if (argc > 5 && std::wcscmp(argv[2], L"-stop") == 0) {
        stop = argv[3];
        folder = argv[4];
        program = 5;
    }
    WideString commandLine = Quoted(argv[program]);
    for (int i = program + 1; i < argc; ++i)
        commandLine += L" " + Quoted(argv[i]);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (stop == L"c") {
        // Started from Unix, Wine gives no console to send events on: one of our own, shared
        // with the program, which keeps the runner's standard handles.
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        ::FreeConsole();
        if (!::AllocConsole()) {
            std::fprintf(stderr, "console_runner: no console (%lu)\n", ::GetLastError());
            return 104;
        }
        ::SetConsoleCtrlHandler(IgnoreControlEvent, TRUE);
    }
    PROCESS_INFORMATION created = {};
    if (!::CreateProcessW(argv[program], buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &created)) {
        std::fprintf(stderr, "console_runner: cannot start the program (%lu)\n", ::GetLastError());
        return 102;
    }
    AutoCloseHandle process(created.hProcess);
    AutoCloseHandle thread(created.hThread);
    if (!stop.empty()) {
        if (!TemporaryFileShows(folder)) {
            std::fprintf(stderr, "console_runner: no temporary file showed\n");
            ::TerminateProcess(process.Get(), 105);
            return 105;
        }
        // Past the logon, into the read.
        ::Sleep(700);
        if (stop == L"kill")
            ::TerminateProcess(process.Get(), 1);
        else
            ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    }
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 103;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    if (!stop.empty())
        std::fprintf(stderr, "console_runner: exit code 0x%08lX\n", exitCode);
    return static_cast<int>(exitCode);
}
