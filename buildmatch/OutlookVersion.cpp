#include "buildmatch/OutlookVersion.h"
#include <climits>
#include <iterator>
#include <vector>
#include "text/Registry.h"
#include "text/TextConversion.h"

namespace {
constexpr wchar_t kCurVerPrefix[] = L"Outlook.Application.";

// The CurVer texts of the versions before 16 and the major versions they name. There was no
// Outlook 13.
struct KnownVersion {
    const wchar_t* curVer;
    int version;
};
constexpr KnownVersion kKnownVersions[] = {
    {L"Outlook.Application.15", 15}, {L"Outlook.Application.14", 14}, {L"Outlook.Application.12", 12},
    {L"Outlook.Application.11", 11}, {L"Outlook.Application.10", 10}, {L"Outlook.Application.9", 9},
    {L"Outlook.Application.8", 8},
};

// Outlook 2016 and every Outlook since (2019, 2021, 2024, Microsoft 365) register 16, and a
// later major version is to be read the same way: decimal digits with no sign, no leading
// zero and nothing around them. 0 for anything else, below 16, or too large for an int.
int LaterVersion(const WideString& curVer) {
    const size_t start = std::size(kCurVerPrefix) - 1;
    if (curVer.size() <= start || curVer.compare(0, start, kCurVerPrefix) != 0 || curVer[start] == L'0')
        return 0;
    int version = 0;
    for (size_t i = start; i < curVer.size(); ++i) {
        const wchar_t c = curVer[i];
        if (c < L'0' || c > L'9' || version > (INT_MAX - (c - L'0')) / 10)
            return 0;
        version = version * 10 + (c - L'0');
    }
    return version >= 16 ? version : 0;
}

// One place the registry may name the bitness in: a value of a key under HKLM, in one view.
struct BitnessSource {
    WideString key;
    const wchar_t* value;
    bool view64;
};

Bitness ReadBitness(const BitnessSource& source) {
    const WideString text =
        ReadRegistryString(HKEY_LOCAL_MACHINE, source.key, source.value, L"", source.view64);
    for (const Bitness bitness : {Bitness::X86, Bitness::X64}) {
        if (text == BitnessText(bitness))
            return bitness;
    }
    return Bitness::Unknown;
}

// Where the registry names the bitness of an Outlook of that version, in the order asked.
// Outlook writes Bitness into its own view; the 64-bit view decides when both hold one.
// Click-to-Run installs (every Microsoft 365 Outlook) may keep it only in the registry they
// carry for themselves, and name the whole install's platform in their configuration.
std::vector<BitnessSource> BitnessSources(int version) {
    const WideString outlook =
        L"Microsoft\\Office\\" + FormatUnsigned(static_cast<uint64_t>(version)) + L".0\\Outlook";
    std::vector<BitnessSource> sources = {{L"SOFTWARE\\" + outlook, L"Bitness", true},
                                          {L"SOFTWARE\\" + outlook, L"Bitness", false}};
    if (version >= 16) {
        sources.push_back(
            {L"SOFTWARE\\Microsoft\\Office\\ClickToRun\\REGISTRY\\MACHINE\\Software\\" + outlook, L"Bitness",
             true});
        sources.push_back({L"SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration", L"Platform", true});
    }
    return sources;
}
} // namespace

int GetOutlookVersion() {
    const WideString curVer =
        ReadRegistryString(HKEY_CLASSES_ROOT, L"Outlook.Application\\CurVer", L"", L"", false);
    for (const KnownVersion& known : kKnownVersions) {
        if (curVer == known.curVer)
            return known.version;
    }
    return LaterVersion(curVer);
}

Bitness GetOutlookBitness() {
    const int version = GetOutlookVersion();
    // Outlook had no 64-bit build before 2010 (version 14); 0 means no Outlook at all.
    if (version < 14)
        return Bitness::X86;
    for (const BitnessSource& source : BitnessSources(version)) {
        const Bitness bitness = ReadBitness(source);
        if (bitness != Bitness::Unknown)
            return bitness;
    }
    return Bitness::Unknown;
}
