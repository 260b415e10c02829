#pragma once
#include <windows.h>

// The whole program as the entry point runs it: the start-up gate, the main window, the
// message loop and the teardown. Returns the process exit code: 0 after a normal run, 1
// when the gate started the other flavour instead, 2 when the window could not be made.
int RunRostermint(HINSTANCE instance, int showCommand);

// How long the exit waits for a read still running to log off before it ends the process.
constexpr DWORD kReaderExitWaitMs = 3000;
