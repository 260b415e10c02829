#pragma once
#include "buildmatch/Bitness.h"

// The running flavour's own bitness. It comes from how this file is compiled, so a flavour
// can never be told it is the other one.
#ifdef _WIN64
inline constexpr Bitness BuildBitness = Bitness::X64;
#else
inline constexpr Bitness BuildBitness = Bitness::X86;
#endif
