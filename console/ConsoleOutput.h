#pragma once
#include <windows.h>
#include "base/Strings.h"

// Text to the standard output or error: UTF-16 to a console, UTF-8 to a file or pipe.
class ConsoleStream {
public:
    explicit ConsoleStream(DWORD standardHandle);
    bool IsConsole() const { return console; }
    // True when every character was written; false with GetLastError set otherwise (a
    // full disk, a closed pipe, no such handle at all). An error line that the standard
    // error cannot take has nowhere left to go: its callers go on, and the exit code still
    // says how the run ended.
    bool Write(const WideString& text) const;

private:
    HANDLE handle;
    bool console = false;
};

// The system's text for a Win32 error, without its line break.
WideString SystemErrorText(DWORD error);
// "0x80040111".
WideString Hex(DWORD value);
