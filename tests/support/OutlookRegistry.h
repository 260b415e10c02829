#pragma once
#include <memory>
#include <vector>
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
    // "Bitness" under HKLM\SOFTWARE\Microsoft\Office\<officeVersion>\Outlook, e.g. "15.0".
    bool SetBitness(const WideString& officeVersion, bool view64, const WideString& text);
    bool SetBitnessDword(const WideString& officeVersion, bool view64, DWORD value);

    // CurVer as an Outlook installation leaves it on Windows, one key that both views share,
    // so that either flavour reads it.
    bool RegisterCurVer(const WideString& text);

    // An Outlook 2013 (version 15) whose Bitness makes the program report `reported`:
    // "x86" or "x64" in the 64-bit view, or no Bitness at all for "UNKNOWN".
    bool Report(const WideString& reported);

private:
    // Opens (creating where missing) every key along path and returns the innermost.
    TestRegistryKey* Create(HKEY root, const WideString& path, bool view64);

    std::vector<std::unique_ptr<TestRegistryKey>> created;
};
