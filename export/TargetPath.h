#pragma once
#include <windows.h>
#include "base/Strings.h"

// What the writers need to know about the path they are given, before they touch it.

// The path's \\?\ form, which the file calls take at any length: made whole first, since
// that form is used exactly as written. A device name (NUL, \\.\...) and a path already in
// that form come back as they are; empty, with GetLastError set, when the path cannot be
// made whole.
WideString ExtendedLengthPath(const WideString& path);

// What a path names now: a regular file or a name not yet taken, a read-only file, a
// device (a console, NUL, Z:\dev\full under Wine), a folder, or something that cannot be
// looked at. Only the first is ever created or replaced.
enum class TargetKind { NewOrRegular, ReadOnly, Device, Folder, Unknown };

// error: why a target cannot be written (ERROR_ACCESS_DENIED for a read-only file or a
// folder, the probe's own error for Unknown); ERROR_SUCCESS otherwise.
TargetKind InspectTarget(const WideString& path, DWORD& error);

// A read-only file, looked at by its attributes only: the pipe export's check, which must
// not open the target (opening a named pipe would take its one instance).
bool IsReadOnlyFile(const WideString& path);
