#include <algorithm>
#include <cmath>
#include <mapicode.h>
#include <new>
#include "directory/DirectoryReader.h"
#include "directory/MapiConstants.h"

namespace {
constexpr ULONG kBatchRows = 25;
constexpr DWORD kReopenPauseMs = 1000;

// The contents table's columns; AddRow relies on these positions. The texts come as
// UTF-16, as the directory holds them; a provider that cannot give UTF-16 gets the 8-bit
// forms, which are in the ANSI code page. (MAPI takes the arrays through a non-const
// pointer but only reads them.)
SizedSPropTagArray(5,
                   unicodeColumns) = {5,
                                      {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_W, mapiconst::PR_SMTP_ADDRESS_W,
                                       mapiconst::PR_EMS_AB_OBJ_DIST_NAME_W, mapiconst::PR_DISPLAY_TYPE_EX}};
SizedSPropTagArray(5, ansiColumns) = {5,
                                      {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_A, mapiconst::PR_SMTP_ADDRESS_A,
                                       mapiconst::PR_EMS_AB_OBJ_DIST_NAME_A, mapiconst::PR_DISPLAY_TYPE_EX}};

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
} // namespace

void DirectoryReader::StartCounts() {
    rowCount = 0;
    typeCounts = {};
    // Owed from the start: even a table without rows ends with its own (zero) counts.
    progressOwed = true;
    lastProgressTick = 0;
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

bool DirectoryReader::ReadContents(IAddrBook* addressBook) {
    EntryId id(mapi);
    MapiPtr<IABContainer> container;
    MapiPtr<IMAPITable> table;
    if (FAILED(OpenTable(addressBook, id, container, table)))
        return false;
    lastResult = table->GetRowCount(0, &rowCount);
    bool reopen = lastResult == MAPI_E_END_OF_SESSION;
    if (FAILED(lastResult) && !reopen)
        return false;

    // A reopened table starts again at its first row: the rows the interrupted passes
    // consumed are passed over, so each directory row is stored and counted once.
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
            // Here an ended session on the row count fails the reading too.
            if (FAILED(OpenTable(addressBook, id, container, table)) ||
                FAILED(lastResult = table->GetRowCount(0, &rowCount)))
                return false;
            skip = consumed;
            reopen = false;
        }

        MapiRowSet rows(mapi);
        lastResult = table->QueryRows(kBatchRows, 0, rows.Receive());
        if (lastResult == MAPI_E_BUSY) {
            lastResult = table->WaitForCompletion(0, INFINITE, nullptr);
            lastResult = table->QueryRows(kBatchRows, 0, rows.Receive());
        }
        // The session may also end while the table was busy: the retry then reopens too.
        if (lastResult == MAPI_E_END_OF_SESSION) {
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
                AddRow(rows->aRow[i]);
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
    // The end of a run must reach the window, even when its progress had to be skipped, and
    // so must a table that ended short of its count or before the progress said 100%.
    if (progressOwed || store->Count() < rowCount || percentText != L"100")
        PostProgress(true);
    return true;
}

void DirectoryReader::AddRow(const SRow& row) {
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
    ++typeCounts[static_cast<size_t>(kind.type)];
    const wchar_t* preset = displayType ? L"" : L"unknown";
    // Views of MAPI's own UTF-16 values, which the store copies; 8-bit text (whichever
    // columns were set) is ANSI, decoded here first.
    std::wstring_view texts[] = {preset, preset, preset};
    WideString decoded[3];
    for (ULONG position = 1; position <= 3; ++position) {
        if (const SPropValue* value = ValueOfType(row, position, PT_UNICODE)) {
            if (value->Value.lpszW)
                texts[position - 1] = value->Value.lpszW;
        } else if (const SPropValue* narrow = ValueOfType(row, position, PT_STRING8)) {
            if (narrow->Value.lpszA)
                texts[position - 1] = decoded[position - 1] = MultiByteToWide(narrow->Value.lpszA, CP_ACP);
        }
    }
    entry.userName = texts[0];
    entry.email = texts[1];
    entry.distinguishedName = texts[2];
    store->Append(entry);
}

void DirectoryReader::PostProgress(bool last) {
    // A batch posts no progress while the last post is recent or the window is behind: the
    // counts are owed, and the last ones are sent at the end of the table.
    const ULONGLONG now = ::GetTickCount64();
    if (!last && (now - lastProgressTick < kProgressIntervalMs || *progressWaiting >= kMaxWaitingProgress)) {
        progressOwed = true;
        return;
    }
    lastProgressTick = now;

    // The count a table reports may be off either way: the percentage stops at 100, and
    // reaches it only with every reported row read or at the end of a longer table. A table
    // that ends short says so with both numbers.
    const uint64_t entries = store->Count();
    double percentage = 0.0;
    if (last || (rowCount > 0 && entries >= rowCount))
        percentage = 100.0;
    else if (rowCount > 0)
        percentage = std::min(99.0, std::floor(static_cast<double>(entries) / rowCount * 100.0 + 0.5));
    percentText = FormatUnsigned(static_cast<uint64_t>(percentage));
    std::unique_ptr<StatusMessage> message;
    try {
        message = std::make_unique<StatusMessage>();
        if (last && entries < rowCount)
            message->text = L"Read " + FormatUnsigned(entries) + L" entries; the directory reported " +
                            FormatUnsigned(rowCount) + L".";
        else
            message->text = L"Percentage complete " + percentText + L"%";
        message->mailUsers = FormatUnsigned(TypeCount(EntryType::MailUser));
        message->distributionLists = FormatUnsigned(TypeCount(EntryType::DistList));
        message->forums = FormatUnsigned(TypeCount(EntryType::Forum));
        message->agents = FormatUnsigned(TypeCount(EntryType::Agent));
        message->remoteMailUsers = FormatUnsigned(TypeCount(EntryType::Remote));
        message->total = FormatUnsigned(entries);
        message->ticket = StatusTicket(progressWaiting);
    } catch (const std::bad_alloc&) {
        // No memory for the message: the counts stay owed.
        progressOwed = true;
        return;
    }
    if (last)
        PostFinal(STATUS_COUNTS, std::move(message));
    else
        progressOwed = !PostStatus(window, STATUS_COUNTS, std::move(message));
}
