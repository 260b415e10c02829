#include <algorithm>
#include <vector>
#include "base/ScopedWin.h"
#include "buildmatch/BuildBitness.h"
#include "buildmatch/MatchingBuild.h"
#include "buildmatch/OutlookVersion.h"
#include "buildmatch/Relaunch.h"
#include "text/Environment.h"

namespace {
// True when folder is the whole folder of the running executable. GetModuleFolder cuts a
// path that does not fit its buffer, and a cut or empty folder names the current folder
// or an ancestor: a sibling found there is not this program's.
bool IsOwnWholeFolder(const WideString& folder) {
    if (folder.empty())
        return false;
    std::vector<wchar_t> path(32768);
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return false;
    const WideString whole(path.data(), length);
    return whole.size() > folder.size() && whole.compare(0, folder.size(), folder) == 0 &&
           whole.find(L'\\', folder.size()) == WideString::npos;
}

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

bool OtherBitnessReported(const WideString& bitness) {
    return bitness != BuildBitness && bitness != L"UNKNOWN";
}

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

WideString BitnessErrorText(const WideString& reported) {
    return L"ERROR: Outlook bitness reported as: \"" + reported +
           L"\" ... please use the correct version of this utility.";
}

WideString RelaunchRefusalText() {
    if (!StartedByGate())
        return WideString();
    const WideString bitness = GetOutlookBitness();
    return OtherBitnessReported(bitness) ? BitnessErrorText(bitness) : WideString();
}

bool EnsureMatchingBuild() {
    const WideString folder = GetModuleFolder(true);
    const WideString bitness = GetOutlookBitness();
    if (!OtherBitnessReported(bitness))
        return true;
    // A sibling started by a gate that finds the other bitness again must not start that
    // flavour in turn: it carries on, and its window names the mismatch.
    if (StartedByGate() || !IsOwnWholeFolder(folder))
        return true;
    const wchar_t* sibling = bitness == L"x86" ? L"Rostermint32.exe" : L"Rostermint64.exe";
    // Without the sibling this flavour carries on; its logon then names the mismatch.
    return !LaunchMarkedSibling(folder + sibling);
}

bool LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds) {
    return StartProgram(path, std::move(arguments), waitSeconds, nullptr);
}
