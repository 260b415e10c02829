#pragma once

// An Outlook's bitness, which is also the bitness of the only flavour whose process can load
// its MAPI. Unknown: an Outlook that exists in both builds is registered, but the registry
// names neither.
enum class Bitness { X86, X64, Unknown };

// The bitness in the words the Outlook registry uses ("x86", "x64"), and "UNKNOWN": what the
// status texts show, and what a registry value is compared with.
constexpr const wchar_t* BitnessText(Bitness bitness) {
    switch (bitness) {
    case Bitness::X86:
        return L"x86";
    case Bitness::X64:
        return L"x64";
    case Bitness::Unknown:
        break;
    }
    return L"UNKNOWN";
}
