#pragma once
#include "base/Strings.h"
#include "buildmatch/Bitness.h"

// The start-up gate: false when it started the sibling flavour that matches Outlook's
// bitness, and this process should end.
bool EnsureMatchingBuild();

// True when Outlook reports the other flavour's bitness (Unknown names neither): the
// window's gate and the console's start their sibling then.
bool OtherBitnessReported(Bitness bitness);

// The status text of a flavour whose bitness is not the one Outlook reports.
WideString BitnessErrorText(Bitness reported);

// For a process started by the gate that still finds the other flavour's bitness reported:
// the bitness error text that its window shows from the start. Empty in every other case.
WideString RelaunchRefusalText();
