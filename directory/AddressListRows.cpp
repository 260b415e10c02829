#include <algorithm>
#include <climits>
#include <cmath>
#include <mapicode.h>
#include <new>
#include "directory/DirectoryReader.h"
#include "directory/MapiConstants.h"

namespace {
constexpr ULONG kBatchRows = 25;
constexpr DWORD kReopenPauseMs = 1000;

// The answers of a table whose connection was lost: the session ended, the provider
// reconnected (which Microsoft says to handle as an ended session), or the network failed.
// A table opened anew reads on.
bool ConnectionLost(HRESULT result) {
    return result == MAPI_E_END_OF_SESSION || result == mapiconst::MAPI_E_RECONNECTED ||
           result == MAPI_E_NETWORK_ERROR;
}

} // namespace

void DirectoryReader::StartCounts() {
    rowCount.reset();
    typeCounts = {};
    // Owed from the start: even a table without rows ends with its own (zero) counts.
    progressOwed = true;
    lastProgressTick = 0;
    progressText.clear();
    progressEntries = 0;
    progressPercent = -1;
}

DirectoryReader::Progress DirectoryReader::LatestProgress() const {
    const int percent = progressPercent;
    return {progressEntries, percent < 0 ? std::nullopt : std::optional<unsigned>(percent)};
}

HRESULT DirectoryReader::OpenTable(IAddrBook* addressBook, EntryId& id, MapiPtr<IABContainer>& container,
                                   MapiPtr<IMAPITable>& table) {
    table.Release();
    container.Release();
    if (FAILED(FindGlobalAddressList(addressBook, id)) ||
        FAILED(OpenGlobalAddressList(addressBook, id, container)))
        return lastResult;
    lastResult = container->GetContentsTable(0, table.Receive());
    lastResult = Checked(lastResult, table.Get());
    if (FAILED(lastResult))
        return lastResult;
    // The columns in one call, the chosen details with them. A provider without UTF-16 says
    // so here; it serves the same texts in 8 bits. (MAPI takes the array through a non-const
    // pointer but only reads it.)
    const details::DetailSet chosen = store->Details();
    rowTexts.count = 3 + store->DetailCount();
    try {
        columnTags = ContentsColumns(true, chosen);
        lastResult = table->SetColumns(reinterpret_cast<LPSPropTagArray>(columnTags.data()), TBL_BATCH);
        if (lastResult == MAPI_E_BAD_CHARWIDTH) {
            columnTags = ContentsColumns(false, chosen);
            lastResult = table->SetColumns(reinterpret_cast<LPSPropTagArray>(columnTags.data()), TBL_BATCH);
        }
    } catch (const std::bad_alloc&) {
        lastResult = E_OUTOFMEMORY;
    }
    return lastResult;
}

bool DirectoryReader::CountRows(IMAPITable* table) {
    ULONG count = 0;
    lastResult = table->GetRowCount(0, &count);
    if (SUCCEEDED(lastResult))
        rowCount = count;
    // The count serves only the percentage and the check for missing entries: a table that
    // cannot count (MAPI_E_NO_SUPPORT, or any other failure) is read without it.
    return !ConnectionLost(lastResult);
}

uint64_t DirectoryReader::ResumeAt(IMAPITable* table, uint64_t consumed) {
    if (consumed == 0 || consumed > static_cast<uint64_t>(LONG_MAX))
        return consumed;
    LONG sought = 0;
    lastResult = table->SeekRow(BOOKMARK_BEGINNING, static_cast<LONG>(consumed), &sought);
    // A table that cannot seek is read from its first row; one that moved fewer rows is
    // read from where it stopped. Either way the rows read before are passed over.
    if (FAILED(lastResult) || sought < 0 || static_cast<uint64_t>(sought) > consumed)
        return consumed;
    return consumed - static_cast<uint64_t>(sought);
}

HRESULT DirectoryReader::QueryBatch(IMAPITable* table, MapiRowSet& rows) {
    lastResult = table->QueryRows(kBatchRows, 0, rows.Receive());
    for (int waits = 0; lastResult == MAPI_E_BUSY && waits < kMaxBusyWaits && !StopRequested(); ++waits) {
        lastResult = table->WaitForCompletion(0, INFINITE, nullptr);
        lastResult = table->QueryRows(kBatchRows, 0, rows.Receive());
    }
    return lastResult;
}

bool DirectoryReader::ReadContents(IAddrBook* addressBook) {
    EntryId id(mapi);
    MapiPtr<IABContainer> container;
    MapiPtr<IMAPITable> table;
    if (FAILED(OpenTable(addressBook, id, container, table)))
        return false;
    // A connection lost at the first count reopens at once, without a message or a pause.
    bool reopen = !CountRows(table.Get());

    // The rows read so far; a reopened table resumes after them, and any it gives again
    // are passed over, so each directory row is stored and counted once.
    uint64_t consumed = 0;
    uint64_t skip = 0;
    int fruitlessReopens = 0;
    for (;;) {
        if (StopRequested())
            return false;
        if (reopen) {
            if (fruitlessReopens == kMaxFruitlessReopens)
                return false;
            ++fruitlessReopens;
            if (FAILED(OpenTable(addressBook, id, container, table)))
                return false;
            if (!CountRows(table.Get()))
                continue; // lost again: another reopening
            skip = ResumeAt(table.Get(), consumed);
            reopen = false;
        }

        MapiRowSet rows(mapi);
        // The connection may also be lost while the table was busy: that reopens too.
        if (ConnectionLost(QueryBatch(table.Get(), rows))) {
            PostStatusText(window, L"ERROR: QueryRows");
            ::WaitForSingleObject(stopEvent.Get(), kReopenPauseMs);
            reopen = true;
            continue;
        }
        if (FAILED(lastResult) || !rows)
            return false;
        if (rows->cRows == 0)
            break;

        for (ULONG i = 0; i < rows->cRows; ++i) {
            if (skip > 0) {
                --skip;
                continue;
            }
            ++consumed;
            fruitlessReopens = 0;
            try {
                AddRow(rows->aRow[i], addressBook);
            } catch (const std::bad_alloc&) {
                // Out of memory: every further row would be lost as well, so the reading
                // fails and says so, keeping the entries it has.
                lastResult = E_OUTOFMEMORY;
                return false;
            } catch (...) {
                // A row that cannot be handled is dropped; the rest of the list still counts.
            }
        }
        PostProgress();
    }
    store->SetState(ReadState::Whole);
    outcome = WholeReadOutcome();
    // The end of a run must reach the window, even when its progress had to be skipped, and
    // so must an end that says more than the latest progress did.
    PostProgress(true);
    return true;
}

DirectoryReader::RunOutcome DirectoryReader::WholeReadOutcome() const {
    const uint64_t entries = store->Count();
    if (rowCount && entries < *rowCount)
        return RunOutcome::ReadShort;
    if (entries == kOnlineListLimit)
        return RunOutcome::ReadAtOnlineLimit;
    return RunOutcome::Read;
}

void DirectoryReader::PostProgress(bool last) {
    // A batch posts no progress while the last post is recent or the window is behind: the
    // counts are owed, and the last ones are sent at the end of the table.
    const ULONGLONG now = ::GetTickCount64();
    if (!last && (now - lastProgressTick < kProgressIntervalMs || *progressWaiting >= kMaxWaitingProgress)) {
        progressOwed = true;
        return;
    }

    // The count a table reports may be off either way: the percentage stops at 100, and
    // reaches it only with every reported row read or at the end of a longer table. A table
    // that ends short says so with both numbers, one that could not count with the entries
    // alone, and a list that may have been cut by the server says so.
    const uint64_t entries = store->Count();
    std::optional<unsigned> percent;
    if (rowCount) {
        double percentage = 100.0;
        if (!last && *rowCount > 0 && entries < *rowCount)
            percentage = std::min(99.0, std::floor(static_cast<double>(entries) / *rowCount * 100.0 + 0.5));
        else if (!last && *rowCount == 0)
            percentage = 0.0;
        percent = static_cast<unsigned>(percentage);
    }
    std::unique_ptr<StatusMessage> message;
    try {
        WideString text;
        if (last && outcome == RunOutcome::ReadShort)
            text = L"Read " + FormatUnsigned(entries) + L" entries; the directory reported " +
                   FormatUnsigned(*rowCount) + L".";
        else if (last && outcome == RunOutcome::ReadAtOnlineLimit)
            text = L"Read " + FormatUnsigned(entries) +
                   L" entries: Exchange Online lists at most 500 in online mode. If the organisation has "
                   L"more, switch Outlook to Cached Exchange Mode and read again.";
        else if (!percent)
            text = L"Read " + FormatUnsigned(entries) + L" entries";
        else
            text = L"Percentage complete " + FormatUnsigned(*percent) + L"%";
        // The end repeats nothing the window already shows.
        if (last && !progressOwed && text == progressText)
            return;
        message = std::make_unique<StatusMessage>();
        message->text = text;
        message->mailUsers = FormatUnsigned(TypeCount(EntryType::MailUser));
        message->distributionLists = FormatUnsigned(TypeCount(EntryType::DistList));
        message->forums = FormatUnsigned(TypeCount(EntryType::Forum));
        message->agents = FormatUnsigned(TypeCount(EntryType::Agent));
        message->remoteMailUsers = FormatUnsigned(TypeCount(EntryType::Remote));
        message->total = FormatUnsigned(entries);
        message->ticket = StatusTicket(progressWaiting);
        progressText = std::move(text);
    } catch (const std::bad_alloc&) {
        // No memory for the message: the counts stay owed.
        progressOwed = true;
        return;
    }
    lastProgressTick = now;
    progressEntries = entries;
    progressPercent = percent ? static_cast<int>(*percent) : -1;
    if (last)
        PostFinal(STATUS_COUNTS, std::move(message));
    else
        progressOwed = !PostStatus(window, STATUS_COUNTS, std::move(message));
}
