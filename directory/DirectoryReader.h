#pragma once
#include <windows.h>
#include <mapix.h>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>
#include "base/ScopedWin.h"
#include "base/StatusMessage.h"
#include "directory/AddressStore.h"
#include "directory/EntryRow.h"
#include "directory/MapiLibrary.h"
#include "directory/MapiObjects.h"
#include "gui/GApplication.h"

// One Connect run: logs on through Extended MAPI, reads the Global Address List into the
// store on a worker thread and reports to the window only by posting UWM_STATUS.
// The main window embeds one reader, which serves every run in turn.
class DirectoryReader : public GApplication {
public:
    DirectoryReader();
    // Asks a run still in progress to stop and waits for its thread: the store and the
    // window it reports to may be gone right after.
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // UI thread. Binds and starts a run on a new worker thread. The previous run's thread
    // may still be ending its session after STATUS_DONE: the new thread waits for it before
    // it logs on, so the caller never does. False when the thread could not be created.
    bool Start(AddressStore* target, HWND owner);
    // UI thread. Asks a running read to stop at its next batch, then waits up to timeoutMs
    // for the thread; true when no run's thread is left.
    bool Stop(DWORD timeoutMs = INFINITE);
    // Waits until the latest run's thread has ended.
    void Wait();

    // For a caller that no person watches (the console): the logon shows no dialog and uses
    // the named profile, or the default profile when the name is empty. Set before Start;
    // the window never calls it and keeps its logon through the profile dialog.
    void SetUnattendedLogon(const WideString& profile);

    // How the latest run ended, and the MAPI result of the call that failed; read them
    // once its thread has ended (Wait). The read outcomes: the whole table read; read to its
    // end, but fewer entries than it reported; read to its end with exactly
    // kOnlineListLimit entries, which may be all that the server lists. OutOfMemory: the read
    // ran out of memory, in the store or in MAPI (MAPI_E_NOT_ENOUGH_MEMORY, E_OUTOFMEMORY);
    // the entries read stay.
    enum class RunOutcome {
        Read,
        ReadShort,
        ReadAtOnlineLimit,
        WrongBitness,
        InitializeFailed,
        LogonFailed,
        ReadFailed,
        OutOfMemory,
    };
    RunOutcome Outcome() const { return outcome; }
    HRESULT OutcomeResult() const { return outcomeResult; }
    // The row count the contents table reported; none when it could not count.
    std::optional<ULONG> ReportedRows() const { return rowCount; }

    // The latest progress posted, for any thread while the run goes on: the entries read,
    // and the percentage (none while the table has given no row count).
    struct Progress {
        uint64_t entries;
        std::optional<unsigned> percent;
    };
    Progress LatestProgress() const;

    // Exchange Online answers a profile in online mode with at most this many entries.
    static constexpr uint64_t kOnlineListLimit = 500;

    // Progress goes out at most this often, and never while this many progress messages wait
    // unapplied in the window's queue. A post costs more than reading a batch (under Wine a
    // round trip to its server), and applying one costs the window milliseconds: at a million
    // rows, a post per batch took longer than the reading itself.
    static constexpr ULONGLONG kProgressIntervalMs = 50;
    static constexpr long kMaxWaitingProgress = 4;

private:
    // Reopenings in a row that bring no new row before the reading gives up.
    static constexpr int kMaxFruitlessReopens = 10;
    // Waits for a busy table within one batch before the reading gives up.
    static constexpr int kMaxBusyWaits = 10;

    // The run and its final messages: DirectoryReader.cpp.
    void Bind(AddressStore* target, HWND owner);
    static DWORD WINAPI ThreadProc(LPVOID parameter);
    void WaitForPreviousRun();
    void Run();
    bool StopRequested() const;
    void NoteFailure(RunOutcome failure);
    // The messages that end a run are retried until the window takes them.
    void PostFinal(StatusCode code, std::unique_ptr<StatusMessage> payload);
    void PostDone();
    static std::unique_ptr<StatusMessage> FailureMessage(const WideString& text);
    // The failure message of a read that ran out of memory, with room for its text.
    static std::unique_ptr<StatusMessage> OutOfMemoryMessage();
    void WriteOutOfMemoryText(StatusMessage& message) const;
    void PostFailure(const WideString& text);

    // The session: DirectorySession.cpp.
    bool Logon(WideString& message);
    bool ReadUserDN(ULONG tag, WideString& out);
    HRESULT OpenDirectory(MapiPtr<IAddrBook>& addressBook);
    HRESULT FindGlobalAddressList(IAddrBook* addressBook, EntryId& id);
    HRESULT OpenGlobalAddressList(IAddrBook* addressBook, const EntryId& id,
                                  MapiPtr<IABContainer>& container);
    // IAddrBook::OpenEntry with MAPI_NO_CACHE added, and again without it for a provider
    // that rejects the flag.
    HRESULT OpenEntryUncached(IAddrBook* addressBook, ULONG size, LPENTRYID entryId, ULONG flags,
                              LPUNKNOWN* object);
    void CloseSession();
    void EndSession();

    // The rows, their counts and the progress: AddressListRows.cpp.
    void StartCounts();
    bool ReadContents(IAddrBook* addressBook);
    HRESULT OpenTable(IAddrBook* addressBook, EntryId& id, MapiPtr<IABContainer>& container,
                      MapiPtr<IMAPITable>& table);
    // Takes the table's row count; false when the connection was lost there. A table that
    // cannot count leaves the count as it was.
    bool CountRows(IMAPITable* table);
    // Puts a reopened table's cursor after the rows read before; gives the rows that are
    // still to be passed over where the table could not seek that far.
    uint64_t ResumeAt(IMAPITable* table, uint64_t consumed);
    // One batch, waiting for a busy table.
    HRESULT QueryBatch(IMAPITable* table, MapiRowSet& rows);
    // The row into the store: EntryRow.cpp.
    void AddRow(const SRow& row, IAddrBook* addressBook);
    // Texts that may have been cut by the table are read again from the entry.
    void ReadWholeTexts(IAddrBook* addressBook, const SRow& row, RowTexts& texts);
    // How a read that reached the end of its table ended, from its entries and the count.
    RunOutcome WholeReadOutcome() const;
    uint64_t TypeCount(EntryType type) const { return typeCounts[static_cast<size_t>(type)]; }
    // last: the end of the table, which must reach the window whatever the backlog.
    void PostProgress(bool last = false);

    HRESULT lastResult = S_OK;
    MapiPtr<IMAPISession> session;
    AddressStore* store = nullptr;
    std::optional<ULONG> rowCount;
    // The contents table's columns as last set, and the texts of the row being added.
    std::vector<ULONG> columnTags;
    RowTexts rowTexts;
    // The text of the latest progress posted.
    WideString progressText;
    HWND window = nullptr;
    bool unattended = false;
    WideString logonProfile;
    RunOutcome outcome = RunOutcome::Read;
    HRESULT outcomeResult = S_OK;
    // Entries by type; the window shows every type's count but the unknown one's.
    std::array<uint64_t, static_cast<size_t>(EntryType::Unknown) + 1> typeCounts = {};

    MapiLibrary mapi;
    AutoCloseHandle thread;
    // The run before the latest one, until the latest run's thread has seen it end.
    AutoCloseHandle previousThread;
    // The stop request, polled once per batch: a flag, since a wait on the event costs a
    // round trip to the Wine server (tens of microseconds). The event serves the pauses.
    std::atomic<bool> stopping{false};
    AutoCloseHandle stopEvent;
    // Progress messages posted and not yet freed by the receiver.
    std::shared_ptr<std::atomic<long>> progressWaiting = std::make_shared<std::atomic<long>>(0);
    // The latest counts did not reach the window (skipped or failed post).
    bool progressOwed = false;
    // When the latest progress was posted (GetTickCount64).
    ULONGLONG lastProgressTick = 0;
    // LatestProgress: the entries, and the percentage or -1.
    std::atomic<uint64_t> progressEntries{0};
    std::atomic<int> progressPercent{-1};
};
