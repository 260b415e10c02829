#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <mapicode.h>
#include <new>
#include "directory/DirectoryReader.h"
#include "directory/MapiConstants.h"

namespace {
constexpr ULONG kBatchRows = 25;
constexpr DWORD kReopenPauseMs = 1000;
constexpr ULONG kEntryIdColumn = 5;

// The contents table's columns; AddRow relies on these positions. The texts come as
// UTF-16, as the directory holds them; a provider that cannot give UTF-16 gets the 8-bit
// forms, which are in the ANSI code page. The entry identifier serves only to read a text
// again that the table may have cut. (MAPI takes the arrays through a non-const pointer but
// only reads them.)
SizedSPropTagArray(6, unicodeColumns) = {6,
                                         {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_W, mapiconst::PR_SMTP_ADDRESS_W,
                                          mapiconst::PR_EMS_AB_OBJ_DIST_NAME_W, mapiconst::PR_DISPLAY_TYPE_EX,
                                          PR_ENTRYID}};
SizedSPropTagArray(6, ansiColumns) = {6,
                                      {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_A, mapiconst::PR_SMTP_ADDRESS_A,
                                       mapiconst::PR_EMS_AB_OBJ_DIST_NAME_A, mapiconst::PR_DISPLAY_TYPE_EX,
                                       PR_ENTRYID}};

LPSPropTagArray Columns(bool unicode) {
    return unicode ? reinterpret_cast<LPSPropTagArray>(&unicodeColumns)
                   : reinterpret_cast<LPSPropTagArray>(&ansiColumns);
}

// A value of the expected type; missing (PT_ERROR), absent or mistyped values give null.
const SPropValue* ValueOfType(const SRow& row, ULONG position, ULONG type) {
    if (!row.lpProps || position >= row.cValues || PROP_TYPE(row.lpProps[position].ulPropTag) != type)
        return nullptr;
    return &row.lpProps[position];
}

// The answers of a table whose connection was lost: the session ended, the provider
// reconnected (which Microsoft says to handle as an ended session), or the network failed.
// A table opened anew reads on.
bool ConnectionLost(HRESULT result) {
    return result == MAPI_E_END_OF_SESSION || result == mapiconst::MAPI_E_RECONNECTED ||
           result == MAPI_E_NETWORK_ERROR;
}

// Table implementers may cut a text column, most often to 255 and less often to 510
// characters (bytes for 8-bit text): a text of exactly that length may not be whole.
bool MayBeCut(size_t length) {
    return length == 255 || length == 510;
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
    lastResult = table->SetColumns(Columns(true), TBL_BATCH);
    // A provider without UTF-16 says so here; it serves the same texts in 8 bits.
    if (lastResult == MAPI_E_BAD_CHARWIDTH)
        lastResult = table->SetColumns(Columns(false), TBL_BATCH);
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

void DirectoryReader::AddRow(const SRow& row, IAddrBook* addressBook) {
    NewEntry entry;
    std::optional<int32_t> displayType;
    if (const SPropValue* type = ValueOfType(row, 0, PT_LONG))
        displayType = type->Value.l;
    if (const SPropValue* typeEx = ValueOfType(row, 4, PT_LONG))
        entry.displayTypeEx = typeEx->Value.l;
    const Classification kind = ClassifyEntry(displayType, entry.displayTypeEx);
    entry.type = kind.type;
    entry.kind = kind.kind;
    entry.typeText = EntryTypeText(kind.type);
    const wchar_t* preset = displayType ? L"" : L"unknown";
    // Views of MAPI's own UTF-16 values, which the store copies; 8-bit text (whichever
    // columns were set) is ANSI, decoded here first.
    std::wstring_view texts[] = {preset, preset, preset};
    WideString decoded[3];
    bool cut[3] = {};
    bool anyCut = false;
    for (ULONG position = 1; position <= 3; ++position) {
        const size_t i = position - 1;
        if (const SPropValue* value = ValueOfType(row, position, PT_UNICODE)) {
            if (value->Value.lpszW) {
                texts[i] = value->Value.lpszW;
                cut[i] = MayBeCut(texts[i].size());
            }
        } else if (const SPropValue* narrow = ValueOfType(row, position, PT_STRING8)) {
            if (narrow->Value.lpszA) {
                cut[i] = MayBeCut(std::strlen(narrow->Value.lpszA));
                texts[i] = decoded[i] = MultiByteToWide(narrow->Value.lpszA, CP_ACP);
            }
        }
        anyCut = anyCut || cut[i];
    }
    if (anyCut)
        ReadWholeTexts(addressBook, row, cut, texts, decoded);
    entry.userName = texts[0];
    entry.email = texts[1];
    entry.distinguishedName = texts[2];
    store->Append(entry);
    // Counted once stored: a row the store could not take is in no count.
    ++typeCounts[static_cast<size_t>(kind.type)];
}

void DirectoryReader::ReadWholeTexts(IAddrBook* addressBook, const SRow& row, const bool (&cut)[3],
                                     std::wstring_view (&texts)[3], WideString (&whole)[3]) {
    const SPropValue* entryId = ValueOfType(row, kEntryIdColumn, PT_BINARY);
    if (!entryId || entryId->Value.bin.cb == 0 || !entryId->Value.bin.lpb)
        return;
    // Read-only: nothing here changes the directory. Whatever fails keeps the table's text.
    MapiPtr<IMAPIProp> entry;
    if (FAILED(OpenEntryUncached(addressBook, entryId->Value.bin.cb,
                                 reinterpret_cast<LPENTRYID>(entryId->Value.bin.lpb), MAPI_DEFERRED_ERRORS,
                                 entry.ReceiveUnknown())))
        return;
    // The texts in the table's own types; position[k] is the text asked for as tag k.
    SizedSPropTagArray(3, tags) = {0, {}};
    size_t position[3] = {};
    for (size_t i = 0; i < 3; ++i) {
        if (cut[i]) {
            position[tags.cValues] = i;
            tags.aulPropTag[tags.cValues++] = row.lpProps[i + 1].ulPropTag;
        }
    }
    ULONG count = 0;
    MapiBuffer<SPropValue> values(mapi);
    // A warning (MAPI_W_ERRORS_RETURNED) still brings the values that are there.
    lastResult = entry->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, values.Receive());
    if (FAILED(lastResult) || !values)
        return;
    for (ULONG k = 0; k < count && k < tags.cValues; ++k) {
        const SPropValue& value = values.Get()[k];
        const size_t i = position[k];
        if (value.ulPropTag != tags.aulPropTag[k])
            continue;
        if (PROP_TYPE(value.ulPropTag) == PT_UNICODE && value.Value.lpszW)
            texts[i] = whole[i] = value.Value.lpszW;
        else if (PROP_TYPE(value.ulPropTag) == PT_STRING8 && value.Value.lpszA)
            texts[i] = whole[i] = MultiByteToWide(value.Value.lpszA, CP_ACP);
    }
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
