#pragma once
#include "base/Strings.h"

// The installed Outlook's major version from its registered CurVer (8 to 15), 0 when there
// is none or it is one this program does not know.
int GetOutlookVersion();
// "x86", "x64", or "UNKNOWN" when a version that has both builds names neither.
WideString GetOutlookBitness();
