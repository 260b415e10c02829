#include "console/ConsoleInterrupt.h"

namespace {
// The system calls the handler on a thread of its own and with no context: the one
// instance's events.
HANDLE activeRequested = nullptr;
HANDLE activeFinished = nullptr;

// Windows ends the process some 5 seconds after a close event, however the handler answers.
constexpr DWORD kCloseWaitMs = 4500;
} // namespace

ConsoleInterrupt::ConsoleInterrupt()
    : requested(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      finished(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    activeRequested = requested.Get();
    activeFinished = finished.Get();
    ::SetConsoleCtrlHandler(Handler, TRUE);
}

ConsoleInterrupt::~ConsoleInterrupt() {
    ::SetConsoleCtrlHandler(Handler, FALSE);
    ::SetEvent(finished.Get());
    activeRequested = activeFinished = nullptr;
}

BOOL WINAPI ConsoleInterrupt::Handler(DWORD event) {
    const HANDLE requestedEvent = activeRequested;
    const HANDLE finishedEvent = activeFinished;
    if (!requestedEvent)
        return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        ::SetEvent(requestedEvent);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        // The process ends when this returns: first the run logs off and removes its file.
        ::SetEvent(requestedEvent);
        ::WaitForSingleObject(finishedEvent, kCloseWaitMs);
        return TRUE;
    default:
        return FALSE;
    }
}
