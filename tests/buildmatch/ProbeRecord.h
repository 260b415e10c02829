#pragma once
#include <windows.h>
#include "base/Strings.h"

// What the sibling probe writes when it starts: its own compiled bitness, the full path of
// its executable (GetModuleFileNameW), the value of the gate's mark ROSTERMINT_RELAUNCHED in
// its environment (empty when absent) and the command line it was given (GetCommandLineW).
// The probe writes the file under a temporary name and renames it, so it appears whole.
constexpr wchar_t kProbeRecordVariable[] = L"ROSTERMINT_PROBE_RECORD";
// When set, the probe holds on after recording until this named event is signalled (or two
// minutes have passed), so a test can see that its starter did not wait for it.
constexpr wchar_t kProbeHoldVariable[] = L"ROSTERMINT_PROBE_HOLD";

struct ProbeRecord {
    WideString bitness;
    WideString modulePath;
    WideString relaunched;
    WideString commandLine;
};

// The record's file contents: the four texts in UTF-16, one per line, command line last.
inline WideString FormatProbeRecord(const ProbeRecord& record) {
    return record.bitness + L"\n" + record.modulePath + L"\n" + record.relaunched + L"\n" +
           record.commandLine;
}
bool ParseProbeRecord(const WideString& text, ProbeRecord& record);

// Waits at most timeoutMs for the record file to appear and reads it.
bool WaitForProbeRecord(const WideString& path, ProbeRecord& record, DWORD timeoutMs = 60000);

// Sets an environment variable of this process (and so of every process it starts) for
// one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const WideString& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const wchar_t* name;
};
