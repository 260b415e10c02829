#include "buildmatch/SiblingLaunch.h"
#include <algorithm>
#include "base/ScopedWin.h"

namespace {
// The part of an environment entry before its "=" (a leading "=" belongs to the name).
WideString EntryName(const WideString& entry) {
    return entry.substr(0, entry.find(L'=', 1));
}

// The entries' names compared as Windows compares variable names (CSTR_LESS_THAN...).
int CompareNames(const WideString& a, const WideString& b) {
    const WideString left = EntryName(a), right = EntryName(b);
    return ::CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                  static_cast<int>(right.size()), TRUE);
}

// LaunchProgram's steps, with the child's environment: null for this process's own.
bool StartProgram(const WideString& path, WideString arguments, unsigned waitSeconds, wchar_t* environment) {
    WIN32_FIND_DATAW found;
    ScopedFindHandle probe(::FindFirstFileW(path.c_str(), &found));
    if (!probe)
        return false;
    probe.Close();

    if (!arguments.empty() && arguments[0] != L' ')
        arguments.insert(arguments.begin(), L' ');
    const size_t slash = path.find_last_of(L'\\');
    const WideString commandLine = (slash == WideString::npos ? path : path.substr(slash + 1)) + arguments;
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION created = {};
    const DWORD flags = CREATE_DEFAULT_ERROR_MODE | (environment ? CREATE_UNICODE_ENVIRONMENT : 0);
    // The application name is the full path, so the sibling is never looked up on the search path.
    if (!::CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, flags, environment, nullptr,
                          &startup, &created))
        return false;
    AutoCloseHandle process(created.hProcess);
    AutoCloseHandle thread(created.hThread);
    // A wait so long that its milliseconds overflow would be cut short: hold it at the longest finite wait.
    const unsigned long long milliseconds = static_cast<unsigned long long>(waitSeconds) * 1000u;
    ::WaitForSingleObject(process.Get(),
                          milliseconds < INFINITE ? static_cast<DWORD>(milliseconds) : INFINITE - 1);
    return true;
}
} // namespace

std::vector<wchar_t> MarkedEnvironment() {
    std::vector<WideString> entries;
    const ScopedEnvironmentStrings block(::GetEnvironmentStringsW());
    for (const wchar_t* entry = block.Get(); entry && *entry; entry += ::lstrlenW(entry) + 1) {
        if (CompareNames(entry, kRelaunchedVariable) != CSTR_EQUAL)
            entries.emplace_back(entry);
    }
    entries.push_back(WideString(kRelaunchedVariable) + L"=1");
    std::stable_sort(entries.begin(), entries.end(), [](const WideString& a, const WideString& b) {
        return CompareNames(a, b) == CSTR_LESS_THAN;
    });
    std::vector<wchar_t> result;
    for (const WideString& entry : entries) {
        result.insert(result.end(), entry.begin(), entry.end());
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    return result;
}

bool StartedByGate() {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(kRelaunchedVariable, value, 8) > 0;
}

bool LaunchMarkedSibling(const WideString& path) {
    std::vector<wchar_t> environment = MarkedEnvironment();
    return StartProgram(path, WideString(), 0, environment.data());
}

bool LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds) {
    return StartProgram(path, std::move(arguments), waitSeconds, nullptr);
}
