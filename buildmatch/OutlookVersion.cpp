#include "buildmatch/OutlookVersion.h"
#include "text/Registry.h"
#include "text/TextConversion.h"

namespace {
// The registered CurVer texts and the major versions they name. There was no Outlook 13,
// and later versions all register as 16, which this program does not recognise.
struct KnownVersion {
    const wchar_t* curVer;
    int version;
};
constexpr KnownVersion kKnownVersions[] = {
    {L"Outlook.Application.15", 15}, {L"Outlook.Application.14", 14}, {L"Outlook.Application.12", 12},
    {L"Outlook.Application.11", 11}, {L"Outlook.Application.10", 10}, {L"Outlook.Application.9", 9},
    {L"Outlook.Application.8", 8},
};

bool IsBitnessText(const WideString& text) {
    return text == L"x86" || text == L"x64";
}
} // namespace

int GetOutlookVersion() {
    const WideString curVer =
        ReadRegistryString(HKEY_CLASSES_ROOT, L"Outlook.Application\\CurVer", L"", L"", false);
    for (const KnownVersion& known : kKnownVersions) {
        if (curVer == known.curVer)
            return known.version;
    }
    return 0;
}

WideString GetOutlookBitness() {
    const int version = GetOutlookVersion();
    // Outlook had no 64-bit build before 2010 (version 14); 0 means no Outlook at all.
    if (version < 14)
        return L"x86";
    const WideString key =
        L"SOFTWARE\\Microsoft\\Office\\" + FormatUnsigned(static_cast<uint64_t>(version)) + L".0\\Outlook";
    // Outlook writes Bitness into its own view; the 64-bit view decides when both hold one.
    for (const bool view64 : {true, false}) {
        const WideString bitness = ReadRegistryString(HKEY_LOCAL_MACHINE, key, L"Bitness", L"", view64);
        if (IsBitnessText(bitness))
            return bitness;
    }
    return L"UNKNOWN";
}
