#pragma once
#include <vector>
#include "base/Strings.h"

// Starting another program, and the mark that a sibling started by a gate carries.

// The start-up gate sets this variable in the environment of the sibling it starts, and
// nowhere else. A process that carries it was started by a gate and starts no other flavour
// itself: where the registry is inconsistent, two flavours that each find the other's
// bitness would otherwise start each other without end.
inline constexpr wchar_t kRelaunchedVariable[] = L"ROSTERMINT_RELAUNCHED";

// True when this process was started by the start-up gate of a sibling.
bool StartedByGate();

// This process's environment with kRelaunchedVariable set, as a block for CreateProcessW
// (CREATE_UNICODE_ENVIRONMENT): entries sorted by name, each NUL-terminated, one more NUL at
// the end. Every sibling started by either program's gate gets it.
std::vector<wchar_t> MarkedEnvironment();

// Starts the executable at path as the gate starts a sibling: its bare file name as the
// command line, no wait, and kRelaunchedVariable in its environment only. False when no
// process was created (file absent, or not startable).
bool LaunchMarkedSibling(const WideString& path);

// Starts the program at path and waits up to waitSeconds for it; false when no process
// was created.
bool LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds);
