#include "directory/DirectoryReader.h"

DirectoryReader::DirectoryReader() : stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

DirectoryReader::~DirectoryReader() {
    Stop();
}

void DirectoryReader::Bind(AddressStore* target, HWND owner) {
    store = target;
    window = owner;
}

bool DirectoryReader::Start(AddressStore* target, HWND owner) {
    Wait();
    ::ResetEvent(stopEvent.Get());
    Bind(target, owner);
    DWORD threadId = 0;
    thread.Attach(::CreateThread(nullptr, 0, ThreadProc, this, 0, &threadId));
    return static_cast<bool>(thread);
}

void DirectoryReader::Stop() {
    ::SetEvent(stopEvent.Get());
    Wait();
}

void DirectoryReader::Wait() {
    if (!thread)
        return;
    ::WaitForSingleObject(thread.Get(), INFINITE);
    thread.Close();
}

bool DirectoryReader::StopRequested() const {
    return ::WaitForSingleObject(stopEvent.Get(), 0) == WAIT_OBJECT_0;
}

DWORD WINAPI DirectoryReader::ThreadProc(LPVOID parameter) {
    static_cast<DirectoryReader*>(parameter)->Run();
    return 0;
}

void DirectoryReader::PostFinal(StatusCode code, std::unique_ptr<StatusMessage> payload) {
    PostStatusUntilDelivered(window, code, std::move(payload), [this] { return StopRequested(); });
}

void DirectoryReader::PostDone() {
    PostFinal(STATUS_DONE, nullptr);
}

void DirectoryReader::PostFailure(const WideString& text) {
    // The six counters stay empty, so the window blanks them.
    auto failure = std::make_unique<StatusMessage>();
    failure->text = text;
    PostFinal(STATUS_COUNTS, std::move(failure));
}
