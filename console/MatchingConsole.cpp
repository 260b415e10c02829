#include "console/MatchingConsole.h"
#include <vector>
#include "base/ScopedWin.h"
#include "buildmatch/MatchingBuild.h"
#include "buildmatch/OutlookVersion.h"
#include "buildmatch/SiblingLaunch.h"
#include "console/ConsoleOutput.h"
#include "text/Environment.h"

namespace {

// This process's arguments as typed, after the program's own name.
WideString ArgumentsTail() {
    const WideString line = ::GetCommandLineW();
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        const size_t close = line.find(L'"', 1);
        i = close == WideString::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t')
            ++i;
    }
    return line.substr(i);
}

// An inheritable duplicate of a standard handle, for the child to get as its own.
AutoCloseHandle InheritableCopy(DWORD standardHandle) {
    const HANDLE original = ::GetStdHandle(standardHandle);
    HANDLE copy = nullptr;
    if (original && original != INVALID_HANDLE_VALUE)
        ::DuplicateHandle(::GetCurrentProcess(), original, ::GetCurrentProcess(), &copy, 0, TRUE,
                          DUPLICATE_SAME_ACCESS);
    return AutoCloseHandle(copy);
}

} // namespace

WideString NeededConsole(Bitness outlookBitness) {
    if (!OtherBitnessReported(outlookBitness))
        return WideString();
    return outlookBitness == Bitness::X86 ? L"RostermintC32.exe" : L"RostermintC64.exe";
}

RelaunchResult RelaunchMatchingConsole(DWORD& exitCode, WideString& error) {
    if (StartedByGate())
        return RelaunchResult::NotNeeded;
    const Bitness outlookBitness = GetOutlookBitness();
    const WideString sibling = NeededConsole(outlookBitness);
    if (sibling.empty())
        return RelaunchResult::NotNeeded;

    const WideString path = GetModuleFolder(true) + sibling;
    WideString commandLine = L"\"" + path + L"\"" + ArgumentsTail();
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    AutoCloseHandle input = InheritableCopy(STD_INPUT_HANDLE);
    AutoCloseHandle output = InheritableCopy(STD_OUTPUT_HANDLE);
    AutoCloseHandle errors = InheritableCopy(STD_ERROR_HANDLE);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = output.Get();
    startup.hStdError = errors.Get();
    std::vector<wchar_t> environment = MarkedEnvironment();
    PROCESS_INFORMATION created = {};
    const BOOL started =
        ::CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                         environment.data(), nullptr, &startup, &created);
    const DWORD startError = ::GetLastError();
    if (!started) {
        error = L"Outlook is " + WideString(outlookBitness == Bitness::X86 ? L"32-bit" : L"64-bit") +
                L", and " + path + L" could not be started: " + SystemErrorText(startError) + L" (" +
                Hex(startError) + L")";
        return RelaunchResult::Failed;
    }
    AutoCloseHandle process(created.hProcess);
    AutoCloseHandle thread(created.hThread);
    ::WaitForSingleObject(process.Get(), INFINITE);
    if (!::GetExitCodeProcess(process.Get(), &exitCode))
        exitCode = 2;
    return RelaunchResult::Ran;
}
