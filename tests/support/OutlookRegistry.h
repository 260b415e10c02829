#pragma once
#include <memory>
#include <ostream>
#include <vector>
#include "buildmatch/Bitness.h"
#include "tests/support/RegistryKey.h"

// The registry entries an installed Outlook leaves behind, written into the test prefix's
// real registry for one test and removed again afterwards: the keys it creates go away
// innermost first, keys that already existed stay.
class OutlookRegistry {
public:
    OutlookRegistry() = default;
    OutlookRegistry(const OutlookRegistry&) = delete;
    OutlookRegistry& operator=(const OutlookRegistry&) = delete;
    ~OutlookRegistry();

    // The default value of HKCR\Outlook.Application\CurVer in the given view. The program
    // reads the 32-bit view, which is where Outlook registers either bitness.
    bool SetCurVer(const WideString& text, bool view64 = false);
    // "Bitness" under HKLM\SOFTWARE\Microsoft\Office\<officeVersion>\Outlook, e.g. "16.0".
    bool SetBitness(const WideString& officeVersion, bool view64, const WideString& text);
    bool SetBitnessDword(const WideString& officeVersion, bool view64, DWORD value);
    // Any text value of a key under HKLM, such as Click-to-Run's own.
    bool SetMachineString(const WideString& path, bool view64, const WideString& name,
                          const WideString& text);

    // CurVer as an Outlook installation leaves it on Windows, one key that both views share,
    // so that either flavour reads it.
    bool RegisterCurVer(const WideString& text);

    // What a Microsoft 365 install (Outlook.Application.16, Click-to-Run) of that bitness
    // writes by default: CurVer, Bitness under 16.0\Outlook in the install's own view, and
    // the Click-to-Run configuration's Platform. Unknown: the CurVer alone, as a damaged
    // install leaves it.
    bool Report(Bitness reported);
    // An Outlook 2013 (version 15): its CurVer and Bitness in the 64-bit view, or no Bitness
    // at all for Unknown.
    bool ReportOutlook2013(Bitness reported);

private:
    // Opens (creating where missing) every key along path and returns the innermost.
    TestRegistryKey* Create(HKEY root, const WideString& path, bool view64);

    std::vector<std::unique_ptr<TestRegistryKey>> created;
};

// "x86", "x64" or "UNKNOWN" as the command lines of the test programs name a bitness; false
// for any other text.
bool ParseBitness(const WideString& text, Bitness& bitness);

// How a test's failure message shows a bitness (GoogleTest finds it by its argument's type).
inline void PrintTo(Bitness bitness, std::ostream* out) {
    for (const wchar_t* c = BitnessText(bitness); *c; ++c)
        *out << static_cast<char>(*c);
}
