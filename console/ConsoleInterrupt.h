#pragma once
#include <windows.h>
#include "base/ScopedWin.h"

// Ctrl+C, Ctrl+Break and the closing of the console, taken over for the whole run: instead
// of the process ending at once (and leaving its MAPI session and temporary file to the
// system), the run stops at its next step and cleans up. One at a time per process.
class ConsoleInterrupt {
public:
    // The exit code Windows gives a program that Ctrl+C ended (STATUS_CONTROL_C_EXIT).
    static constexpr DWORD kExitCode = 0xC000013A;

    ConsoleInterrupt();
    // Lets a close event's handler go on: the run has cleaned up.
    ~ConsoleInterrupt();
    ConsoleInterrupt(const ConsoleInterrupt&) = delete;
    ConsoleInterrupt& operator=(const ConsoleInterrupt&) = delete;

    // Signalled once an event has come; the read waits on it besides its messages.
    HANDLE Event() const { return requested.Get(); }
    bool Requested() const { return ::WaitForSingleObject(requested.Get(), 0) == WAIT_OBJECT_0; }

private:
    static BOOL WINAPI Handler(DWORD event);

    AutoCloseHandle requested;
    AutoCloseHandle finished;
};
