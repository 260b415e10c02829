#include <vector>
#include "app/ScopedWin.h"
#include "buildmatch/BuildBitness.h"
#include "gui/GApplication.h"

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
} // namespace

bool GApplication::EnsureMatchingBuild() const {
    const WideString folder = GetModuleFolder(true);
    const WideString bitness = GetOutlookBitness();
    if (bitness == BuildBitness || bitness == L"UNKNOWN")
        return true;
    if (!IsOwnWholeFolder(folder))
        return true;
    const wchar_t* sibling = bitness == L"x86" ? L"Rostermint32.exe" : L"Rostermint64.exe";
    // Without the sibling this flavour carries on; its logon then names the mismatch.
    return !LaunchProgram(folder + sibling, WideString(), 0);
}

bool GApplication::LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds) const {
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
    // The application name is the full path, so the sibling is never looked up on the search path.
    if (!::CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE,
                          nullptr, nullptr, &startup, &created))
        return false;
    AutoCloseHandle process(created.hProcess);
    AutoCloseHandle thread(created.hThread);
    // A wait so long that its milliseconds overflow would be cut short: hold it at the longest finite wait.
    const unsigned long long milliseconds = static_cast<unsigned long long>(waitSeconds) * 1000u;
    ::WaitForSingleObject(process.Get(),
                          milliseconds < INFINITE ? static_cast<DWORD>(milliseconds) : INFINITE - 1);
    return true;
}
