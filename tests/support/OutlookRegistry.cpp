#include "tests/support/OutlookRegistry.h"
#include "base/ScopedWin.h"

namespace {
bool KeyExists(HKEY root, const WideString& path, bool view64) {
    ScopedRegKey key;
    return ::RegOpenKeyExW(root, path.c_str(), 0,
                           KEY_QUERY_VALUE | (view64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY),
                           key.Receive()) == ERROR_SUCCESS;
}

WideString OutlookKey(const WideString& officeVersion) {
    return L"SOFTWARE\\Microsoft\\Office\\" + officeVersion + L"\\Outlook";
}
} // namespace

OutlookRegistry::~OutlookRegistry() {
    while (!created.empty())
        created.pop_back();
}

TestRegistryKey* OutlookRegistry::Create(HKEY root, const WideString& path, bool view64) {
    TestRegistryKey* innermost = nullptr;
    for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
        const WideString part = path.substr(0, end);
        const bool last = end == WideString::npos;
        // The innermost key is always owned, so a value left by an interrupted run goes too.
        if (last || !KeyExists(root, part, view64)) {
            created.push_back(std::make_unique<TestRegistryKey>(root, part, view64));
            innermost = created.back().get();
        }
        if (last)
            break;
    }
    return innermost->IsOpen() ? innermost : nullptr;
}

bool OutlookRegistry::SetCurVer(const WideString& text, bool view64) {
    TestRegistryKey* key = Create(HKEY_CLASSES_ROOT, L"Outlook.Application\\CurVer", view64);
    return key && key->SetString(L"", text);
}

bool OutlookRegistry::SetBitness(const WideString& officeVersion, bool view64, const WideString& text) {
    return SetMachineString(OutlookKey(officeVersion), view64, L"Bitness", text);
}

bool OutlookRegistry::SetBitnessDword(const WideString& officeVersion, bool view64, DWORD value) {
    TestRegistryKey* key = Create(HKEY_LOCAL_MACHINE, OutlookKey(officeVersion), view64);
    return key && key->SetDword(L"Bitness", value);
}

bool OutlookRegistry::RegisterCurVer(const WideString& text) {
    // Wine shares the key as Windows does for a 32-bit process, but shows a 64-bit process
    // that reads the 32-bit view a copy of its own under Wow6432Node: a 32-bit writer alone
    // would leave the 64-bit flavour without a version. Both places are written by name.
    for (const wchar_t* classes : {L"Software\\Classes\\", L"Software\\Classes\\Wow6432Node\\"}) {
        TestRegistryKey* key =
            Create(HKEY_LOCAL_MACHINE, classes + WideString(L"Outlook.Application\\CurVer"), true);
        if (!key || !key->SetString(L"", text))
            return false;
    }
    return true;
}

bool OutlookRegistry::SetMachineString(const WideString& path, bool view64, const WideString& name,
                                       const WideString& text) {
    TestRegistryKey* key = Create(HKEY_LOCAL_MACHINE, path, view64);
    return key && key->SetString(name, text);
}

bool OutlookRegistry::Report(Bitness reported) {
    if (!RegisterCurVer(L"Outlook.Application.16"))
        return false;
    if (reported == Bitness::Unknown)
        return true;
    // The Click-to-Run service is 64-bit on a 64-bit Windows, whichever Office it installs.
    return SetBitness(L"16.0", reported == Bitness::X64, BitnessText(reported)) &&
           SetMachineString(L"SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration", true, L"Platform",
                            BitnessText(reported));
}

bool OutlookRegistry::ReportOutlook2013(Bitness reported) {
    if (!RegisterCurVer(L"Outlook.Application.15"))
        return false;
    return reported == Bitness::Unknown || SetBitness(L"15.0", true, BitnessText(reported));
}

bool ParseBitness(const WideString& text, Bitness& bitness) {
    for (const Bitness known : {Bitness::X86, Bitness::X64, Bitness::Unknown}) {
        if (text == BitnessText(known)) {
            bitness = known;
            return true;
        }
    }
    return false;
}
