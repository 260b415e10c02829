#pragma once
#include <windows.h>
#include "base/Strings.h"
#include "buildmatch/Bitness.h"

// The console's bitness gate. MAPI loads only in a process of Outlook's bitness: when the
// installed Outlook needs the other flavour, its console is started from this program's
// folder with the same arguments and standard handles, and this process ends with its
// exit code. The child carries the gate's mark (buildmatch/SiblingLaunch.h) and never
// relaunches in turn.

enum class RelaunchResult { NotNeeded, Ran, Failed };

// The console that Outlook's reported bitness needs ("RostermintC32.exe" for X86,
// "RostermintC64.exe" for X64), or empty when this flavour serves (Unknown included).
WideString NeededConsole(Bitness outlookBitness);

// Ran: exitCode is the sibling's. Failed: error names what failed.
RelaunchResult RelaunchMatchingConsole(DWORD& exitCode, WideString& error);
