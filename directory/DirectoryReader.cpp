#include "directory/DirectoryReader.h"
#include <mapicode.h>
#include <cwchar>
#include <iterator>
#include "directory/MapiConstants.h"

namespace {
constexpr wchar_t kOutOfMemoryStart[] = L"ERROR: out of memory after ";
constexpr wchar_t kOutOfMemoryEnd[] =
    L" entries. Close other programs or use the 64-bit flavour, then Connect again.";

// True once the thread has ended (or there is none); its handle is closed then.
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

void DirectoryReader::Bind(AddressStore* target, HWND owner) {
    store = target;
    window = owner;
}

DWORD WINAPI DirectoryReader::ThreadProc(LPVOID parameter) {
    auto* reader = static_cast<DirectoryReader*>(parameter);
    // One MAPI session at a time: the previous run may still be logging off.
    reader->WaitForPreviousRun();
    reader->Run();
    return 0;
}

void DirectoryReader::WaitForPreviousRun() {
    // Only the latest run's thread touches this handle once Start has handed it over.
    Ended(previousThread, INFINITE);
}

void DirectoryReader::Run() {
    // Asked to stop before it began (the program is closing): nothing to log on for.
    if (StopRequested())
        return;
    outcome = RunOutcome::Read;
    outcomeResult = S_OK;
    WideString message;
    if (!Logon(message)) {
        // Unlike a read's last message, a failed logon's text comes after STATUS_DONE, as it
        // always has. Both receivers end the same either way: the window's STATUS_DONE
        // touches neither the status text nor the counters, and the console takes what is
        // left in its queue once the thread has ended.
        PostDone();
        PostFailure(message);
        return;
    }
    // The DN line is this run's, blank when the profile names no user.
    auto dn = std::make_unique<StatusMessage>();
    if (ReadUserDN(mapiconst::PR_PROFILE_USER, message))
        dn->text = L"LegacyExchangeDN: " + message;
    PostStatus(window, STATUS_USER_DN, std::move(dn));

    // Made before the reading, so that a reading that used up the memory can still say it failed.
    auto failure = FailureMessage(L"ERROR: GetGlobalAddressBook had a failure.");
    auto outOfMemory = OutOfMemoryMessage();
    StartCounts();
    bool read = false;
    {
        MapiPtr<IAddrBook> addressBook;
        if (SUCCEEDED(OpenDirectory(addressBook)))
            read = ReadContents(addressBook.Get());
    }
    // Taken before the log-off, whose result would replace the failing call's.
    // MAPI_E_NOT_ENOUGH_MEMORY is E_OUTOFMEMORY: the provider ran short of the same memory.
    if (!read)
        NoteFailure(lastResult == MAPI_E_NOT_ENOUGH_MEMORY ? RunOutcome::OutOfMemory
                                                           : RunOutcome::ReadFailed);
    CloseSession();

    if (!read && !StopRequested()) {
        if (outcome == RunOutcome::OutOfMemory) {
            WriteOutOfMemoryText(*outOfMemory);
            PostFinal(STATUS_COUNTS, std::move(outOfMemory));
        } else {
            PostFinal(STATUS_COUNTS, std::move(failure));
        }
    }
    PostDone();
    EndSession();
}

bool DirectoryReader::StopRequested() const {
    return stopping;
}

void DirectoryReader::NoteFailure(RunOutcome failure) {
    outcome = failure;
    outcomeResult = lastResult;
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

std::unique_ptr<StatusMessage> DirectoryReader::OutOfMemoryMessage() {
    auto message = FailureMessage(WideString());
    message->text.reserve(std::size(kOutOfMemoryStart) + 20 + std::size(kOutOfMemoryEnd));
    return message;
}

void DirectoryReader::WriteOutOfMemoryText(StatusMessage& message) const {
    // Within the room reserved before the read: nothing is allocated here.
    wchar_t digits[24];
    std::swprintf(digits, 24, L"%llu", static_cast<unsigned long long>(store->Count()));
    message.text.assign(kOutOfMemoryStart).append(digits).append(kOutOfMemoryEnd);
}

void DirectoryReader::PostFailure(const WideString& text) {
    PostFinal(STATUS_COUNTS, FailureMessage(text));
}
