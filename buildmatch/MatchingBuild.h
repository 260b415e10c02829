#pragma once
#include "base/Strings.h"

// The start-up gate: false when it started the sibling flavour that matches Outlook's
// bitness, and this process should end.
bool EnsureMatchingBuild();
// Starts the program at path and waits up to waitSeconds for it; false when no process
// was created.
bool LaunchProgram(const WideString& path, WideString arguments, unsigned waitSeconds);
