#include "tests/support/JobProcess.h"

namespace {
JOBOBJECT_BASIC_ACCOUNTING_INFORMATION Accounting(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    ::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr);
    return info;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK TakeWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    if (owner != search->processId || !::IsWindowVisible(window) || ::lstrcmpW(name, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}
} // namespace

JobProcess::JobProcess(const WideString& path, int showCommand) : job(::CreateJobObjectW(nullptr, nullptr)) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    const size_t slash = path.find_last_of(L'\\');
    WideString commandLine = path.substr(slash + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION created = {};
    // Suspended until it is in the job, so nothing it starts can escape the count.
    if (!::CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          nullptr, &startup, &created))
        return;
    process.Attach(created.hProcess);
    id = created.dwProcessId;
    AutoCloseHandle thread(created.hThread);
    if (::AssignProcessToJobObject(job.Get(), process.Get()))
        ::ResumeThread(thread.Get());
}

JobProcess::~JobProcess() {
    // Let the job's processes end before the test's folder goes.
    ::TerminateJobObject(job.Get(), 0);
    for (int i = 0; i < 200 && ActiveProcesses() > 0; ++i)
        ::Sleep(50);
}

DWORD JobProcess::WaitForExit(DWORD timeoutMs) const {
    DWORD code = STILL_ACTIVE;
    if (process && ::WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.Get(), &code);
    return code;
}

DWORD JobProcess::TotalProcesses() const {
    return Accounting(job.Get()).TotalProcesses;
}

DWORD JobProcess::ActiveProcesses() const {
    return Accounting(job.Get()).ActiveProcesses;
}

std::vector<DWORD> JobProcess::RunningIds() const {
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[15];
    } ids = {};
    ids.list.NumberOfAssignedProcesses = 16;
    std::vector<DWORD> running;
    if (::QueryInformationJobObject(job.Get(), JobObjectBasicProcessIdList, &ids, sizeof(ids), nullptr)) {
        for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i)
            running.push_back(static_cast<DWORD>(ids.list.ProcessIdList[i]));
    }
    return running;
}

std::vector<WideString> JobProcess::RunningImages() const {
    std::vector<WideString> images;
    for (DWORD running : RunningIds()) {
        AutoCloseHandle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running));
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (handle && ::QueryFullProcessImageNameW(handle.Get(), 0, path, &size))
            images.emplace_back(path, size);
    }
    return images;
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 50) {
        WindowSearch search = {processId, className, nullptr};
        ::EnumWindows(TakeWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found || waited >= timeoutMs)
            return search.found;
        ::Sleep(50);
    }
}
