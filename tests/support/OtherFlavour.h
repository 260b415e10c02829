#pragma once
#include <windows.h>
#include "buildmatch/BuildBitness.h"
#include "base/Strings.h"

// Whether this machine can start the other flavour's programs. Some kernels run no 32-bit
// code, so Wine cannot start a 32-bit program there; the test runner says so in
// ROSTERMINT_WIN32_RUNS=0. A 32-bit test can always start the 64-bit flavour.
inline bool OtherFlavourRuns() {
    if (BuildBitness == Bitness::X86)
        return true;
    wchar_t value[8] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"ROSTERMINT_WIN32_RUNS", value, 8);
    return !(length == 1 && value[0] == L'0');
}
