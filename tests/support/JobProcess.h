#pragma once
#include <windows.h>
#include <vector>
#include "base/ScopedWin.h"
#include "base/Strings.h"

// A program started in a job of its own, so the test sees every process it starts in turn.
// Whatever still runs in the job when the test is done is ended with it.
class JobProcess {
public:
    // The command line is the path's file name, as the start-up gate gives it.
    explicit JobProcess(const WideString& path, int showCommand = SW_SHOWNORMAL);
    ~JobProcess();
    JobProcess(const JobProcess&) = delete;
    JobProcess& operator=(const JobProcess&) = delete;

    // The exit code, or STILL_ACTIVE when the program has not ended within the time.
    DWORD WaitForExit(DWORD timeoutMs = 30000) const;
    // Every process that has run in the job, and those running now.
    DWORD TotalProcesses() const;
    DWORD ActiveProcesses() const;
    // The ids and the executable paths of the processes running in the job now.
    std::vector<DWORD> RunningIds() const;
    std::vector<WideString> RunningImages() const;
    DWORD Id() const { return id; }

private:
    AutoCloseHandle job;
    AutoCloseHandle process;
    DWORD id = 0;
};

// The visible top-level window of that class in the process, waiting up to timeoutMs for it.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs = 30000);
