#pragma once
#include "base/Strings.h"
#include "buildmatch/Bitness.h"

// The installed Outlook's major version from its registered CurVer (8 to 12, 14, 15, and any
// from 16 up), 0 when there is none or it is one this program does not know.
int GetOutlookVersion();
// The installed Outlook's bitness: X86 below version 14 (no 64-bit build existed) or with no
// Outlook, Unknown when a version that has both builds names neither. The start-up gate,
// the logon and the console all ask this one function.
Bitness GetOutlookBitness();
