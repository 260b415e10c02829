#pragma once
#include <windows.h>
#include "base/ScopedWin.h"
#include "base/Strings.h"

// Writes a file so that a failed run never leaves a half-written file nor destroys the
// previous one: the bytes go to a temporary file in the target's folder, which Commit
// moves over the target. A device (NUL, a console, Z:\dev\full under Wine) is written
// directly and never renamed over: a rename there would put a regular file in the
// device's place.
class ReplacementFile {
public:
    ReplacementFile() = default;
    // Closes and deletes the temporary file unless Commit moved it over the target.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Opens the temporary file (or the device); false with GetLastError set on failure.
    // A target that is a folder is refused with ERROR_ACCESS_DENIED.
    bool Open(const WideString& target);
    HANDLE Handle() const { return file.Get(); }
    bool IsDevice() const { return device; }
    // Closes the file and moves it over the target; false with GetLastError set on
    // failure, and the temporary file is gone then.
    bool Commit();

private:
    void Discard();

    AutoCloseHandle file;
    WideString targetPath;
    WideString temporaryPath;
    bool device = false;
};
