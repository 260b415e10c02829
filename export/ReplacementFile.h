#pragma once
#include <windows.h>
#include "base/ScopedWin.h"
#include "base/Strings.h"

// Writes a file so that a failed run never leaves a half-written file nor destroys the
// previous one: the bytes go to a temporary file in the target's folder, which Commit
// moves over the target. The temporary file is marked for deletion from its creation
// until the move, so the system removes it whatever ends the process meanwhile. A device
// (NUL, a console, Z:\dev\full under Wine) is written directly and never renamed over: a
// rename there would put a regular file in the device's place. Paths of any length are
// taken, through their \\?\ form.
class ReplacementFile {
public:
    ReplacementFile() = default;
    // Closes and deletes the temporary file unless Commit moved it over the target.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Opens the temporary file (or the device); false with GetLastError set on failure.
    // A target that is a folder or a read-only file is refused with ERROR_ACCESS_DENIED.
    bool Open(const WideString& target);
    HANDLE Handle() const { return file.Get(); }
    bool IsDevice() const { return device; }
    // Moves the file over the target and closes it; false with GetLastError set on
    // failure, and the temporary file is gone then.
    bool Commit();

private:
    DWORD CreateTemporary(const WideString& folder);
    bool MarkForDeletion(bool deletion);
    void Discard();

    AutoCloseHandle file;
    WideString targetPath;
    WideString temporaryPath;
    bool device = false;
    // The deletion mark holds: closing the handle removes the file.
    bool marked = false;
};
