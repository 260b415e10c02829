#include "directory/DirectoryReader.h"

namespace {
// Waits up to timeoutMs for the thread; once it has ended (or there is none) the handle is
// closed and true comes back.
bool Ended(AutoCloseHandle& thread, DWORD timeoutMs) {
    if (thread && ::WaitForSingleObject(thread.Get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    thread.Close();
    return true;
}
} // namespace

DirectoryReader::DirectoryReader() : stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

DirectoryReader::~DirectoryReader() {
    Stop();
}

void DirectoryReader::Bind(AddressStore* target, HWND owner) {
    store = target;
    window = owner;
}

bool DirectoryReader::Start(AddressStore* target, HWND owner) {
    stopping = false;
    ::ResetEvent(stopEvent.Get());
    Bind(target, owner);
    // The new thread takes over the wait for the previous one; the window goes on at once.
    previousThread = std::move(thread);
    thread.Attach(::CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr));
    if (thread)
        return true;
    thread = std::move(previousThread);
    return false;
}

bool DirectoryReader::Stop(DWORD timeoutMs) {
    stopping = true;
    ::SetEvent(stopEvent.Get());
    return Ended(thread, timeoutMs);
}

void DirectoryReader::Wait() {
    Ended(thread, INFINITE);
}

void DirectoryReader::WaitForPreviousRun() {
    // Only the latest run's thread touches this handle once Start has handed it over.
    Ended(previousThread, INFINITE);
}

bool DirectoryReader::StopRequested() const {
    return stopping;
}

DWORD WINAPI DirectoryReader::ThreadProc(LPVOID parameter) {
    auto* reader = static_cast<DirectoryReader*>(parameter);
    // One MAPI session at a time: the previous run may still be logging off.
    reader->WaitForPreviousRun();
    reader->Run();
    return 0;
}

void DirectoryReader::PostFinal(StatusCode code, std::unique_ptr<StatusMessage> payload) {
    PostStatusUntilDelivered(window, code, std::move(payload), [this] { return StopRequested(); });
}

void DirectoryReader::PostDone() {
    PostFinal(STATUS_DONE, nullptr);
}

std::unique_ptr<StatusMessage> DirectoryReader::FailureMessage(const WideString& text) {
    // The six counters stay empty, so the window blanks them.
    auto failure = std::make_unique<StatusMessage>();
    failure->text = text;
    return failure;
}

void DirectoryReader::PostFailure(const WideString& text) {
    PostFinal(STATUS_COUNTS, FailureMessage(text));
}
