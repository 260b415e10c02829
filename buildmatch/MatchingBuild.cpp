#include "buildmatch/MatchingBuild.h"
#include <windows.h>
#include <vector>
#include "buildmatch/BuildBitness.h"
#include "buildmatch/OutlookVersion.h"
#include "buildmatch/SiblingLaunch.h"
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
} // namespace

bool OtherBitnessReported(Bitness bitness) {
    return bitness != BuildBitness && bitness != Bitness::Unknown;
}

WideString BitnessErrorText(Bitness reported) {
    return L"ERROR: Outlook bitness reported as: \"" + WideString(BitnessText(reported)) +
           L"\" ... please use the correct version of this utility.";
}

WideString RelaunchRefusalText() {
    if (!StartedByGate())
        return WideString();
    const Bitness bitness = GetOutlookBitness();
    return OtherBitnessReported(bitness) ? BitnessErrorText(bitness) : WideString();
}

bool EnsureMatchingBuild() {
    const WideString folder = GetModuleFolder(true);
    const Bitness bitness = GetOutlookBitness();
    if (!OtherBitnessReported(bitness))
        return true;
    // A sibling started by a gate that finds the other bitness again must not start that
    // flavour in turn: it carries on, and its window names the mismatch.
    if (StartedByGate() || !IsOwnWholeFolder(folder))
        return true;
    const wchar_t* sibling = bitness == Bitness::X86 ? L"Rostermint32.exe" : L"Rostermint64.exe";
    // Without the sibling this flavour carries on; its logon then names the mismatch.
    return !LaunchMarkedSibling(folder + sibling);
}
