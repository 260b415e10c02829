// Runs a console program with a Microsoft 365 Outlook of the given bitness in the test
// prefix's registry, passing on its standard handles and its exit code; the registry is
// cleaned afterwards.
//   console_runner.exe x86|x64|UNKNOWN PROGRAM.exe [ARGUMENT...]
#include <windows.h>
#include <cstdio>
#include <vector>
#include "base/ScopedWin.h"
#include "tests/support/OutlookRegistry.h"

namespace {
WideString Quoted(const WideString& argument) {
    return argument.empty() || argument.find_first_of(L" \t") != WideString::npos ? L"\"" + argument + L"\""
                                                                                  : argument;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: console_runner x86|x64|UNKNOWN PROGRAM.exe [ARGUMENT...]\n");
        return 100;
    }
    OutlookRegistry outlook;
    Bitness bitness = Bitness::Unknown;
    if (!ParseBitness(argv[1], bitness) || !outlook.Report(bitness)) {
        std::fprintf(stderr, "console_runner: cannot register Outlook\n");
        return 101;
    }
    WideString commandLine = Quoted(argv[2]);
    for (int i = 3; i < argc; ++i)
        commandLine += L" " + Quoted(argv[i]);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION created = {};
    if (!::CreateProcessW(argv[2], buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &created)) {
        std::fprintf(stderr, "console_runner: cannot start the program (%lu)\n", ::GetLastError());
        return 102;
    }
    AutoCloseHandle process(created.hProcess);
    AutoCloseHandle thread(created.hThread);
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 103;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}
