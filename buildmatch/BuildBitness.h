#pragma once

// The running flavour's own bitness, in the words the Outlook registry uses. It comes from
// how this file is compiled, so a flavour can never be told it is the other one.
#ifdef _WIN64
inline constexpr wchar_t BuildBitness[] = L"x64";
#else
inline constexpr wchar_t BuildBitness[] = L"x86";
#endif
