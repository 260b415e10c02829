#include "mapisim/Table.h"
#include "mapisim/Hierarchy.h"
#include "mapisim/Restriction.h"
#include "mapisim/Values.h"
#include <algorithm>

namespace mapisim {
namespace {

// The columns before SetColumns: not the order readers usually ask for, so a reader that
// forgets SetColumns does not get its columns by luck.
const ULONG kContentsColumns[] = {PR_DISPLAY_NAME_A, PR_DISPLAY_TYPE, PR_EMS_AB_OBJ_DIST_NAME_A,
                                  PR_SMTP_ADDRESS_A};
const ULONG kHierarchyColumns[] = {
    PR_DISPLAY_NAME_A,     PR_ENTRYID,      PR_DEPTH,       PR_AB_PROVIDER_ID,
    PR_EMS_AB_CONTAINERID, PR_DISPLAY_TYPE, PR_OBJECT_TYPE, PR_CONTAINER_FLAGS};

template <size_t N> std::vector<ULONG> Columns(const ULONG (&tags)[N]) {
    return std::vector<ULONG>(tags, tags + N);
}

// The directory details that columns ask for.
details::DetailSet DetailsIn(const std::vector<ULONG>& columns) {
    details::DetailSet wanted = 0;
    for (const ULONG tag : columns) {
        const int index = details::IndexOfPropId(PROP_ID(tag));
        if (index >= 0)
            wanted |= details::DetailSet(1) << index;
    }
    return wanted;
}

} // namespace

ContentsRows::ContentsRows(std::shared_ptr<const Directory> source, int container)
    : directory(std::move(source)), entryIdPrefix(EntryIdPrefix(container)) {}

void ContentsRows::Fill(size_t index, RowView& row) const {
    directory->Fill(index, row);
    row.entryId = entryIdPrefix;
    AppendEntryIndex(row.entryId, index);
    row.AddBytes(PR_ENTRYID, row.entryId);
}

HierarchyRows::HierarchyRows(std::shared_ptr<const Scenario> setup, int parent, bool allLevels)
    : scenario(std::move(setup)) {
    AddChildren(parent, 0, allLevels);
}

void HierarchyRows::AddChildren(int parent, LONG depth, bool allLevels) {
    for (size_t i = 0; i < scenario->containers.size(); ++i) {
        if (scenario->containers[i].parent != parent)
            continue;
        rows.emplace_back(static_cast<int>(i), depth);
        if (allLevels)
            AddChildren(static_cast<int>(i), depth + 1, allLevels);
    }
}

void HierarchyRows::Fill(size_t index, RowView& row) const {
    FillContainerRow(scenario->containers[rows[index].first], rows[index].second, row);
}

Table::Table(std::shared_ptr<LogonState> logonState, std::unique_ptr<RowSource> rows, TableKind tableKind,
             bool unicode)
    : MapiObject("IMAPITable", std::move(logonState)), source(std::move(rows)), kind(tableKind),
      columns(tableKind == TableKind::Contents ? Columns(kContentsColumns) : Columns(kHierarchyColumns)) {
    for (ULONG& tag : columns) {
        if (unicode && PROP_TYPE(tag) == PT_STRING8)
            tag = PROP_TAG(PT_UNICODE, PROP_ID(tag));
    }
}

size_t Table::Size() const {
    if (restricted)
        return matching.size();
    const size_t rows = source->Count();
    return kind == TableKind::Contents && Setup().hasRowCap ? std::min<size_t>(rows, Setup().rowCap) : rows;
}

HRESULT Table::CheckCharWidth(const SPropTagArray& tags) const {
    for (ULONG i = 0; !Setup().unicode && i < tags.cValues; ++i) {
        if (PROP_TYPE(tags.aulPropTag[i]) == PT_UNICODE)
            return MAPI_E_BAD_CHARWIDTH;
    }
    return S_OK;
}

STDMETHODIMP Table::SetColumns(LPSPropTagArray tags, ULONG flags) {
    SimLock lock;
    Record("SetColumns", flags);
    if (const HRESULT gone = Gone())
        return gone;
    const HRESULT configured = Configured("SetColumns");
    if (FAILED(configured))
        return configured;
    if (flags & ~(TBL_ASYNC | TBL_BATCH))
        return MAPI_E_UNKNOWN_FLAGS;
    if (!tags || tags->cValues == 0)
        return MAPI_E_INVALID_PARAMETER;
    if (const HRESULT width = CheckCharWidth(*tags))
        return width;
    columns.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
    view.wantedDetails = DetailsIn(columns);
    if (kind == TableKind::Contents) {
        std::string& record = Simulator::Get().ledger.contentsColumns;
        record.clear();
        char tag[16];
        for (const ULONG column : columns) {
            snprintf(tag, sizeof(tag), "0x%08lX", static_cast<unsigned long>(column));
            record += (record.empty() ? "" : ",") + std::string(tag);
        }
    }
    return configured;
}

STDMETHODIMP Table::GetRowCount(ULONG flags, ULONG* count) {
    SimLock lock;
    Record("GetRowCount", flags);
    if (!count)
        return MAPI_E_INVALID_PARAMETER;
    *count = 0;
    if (const HRESULT gone = Gone())
        return gone;
    const HRESULT configured = Configured("GetRowCount");
    if (FAILED(configured))
        return configured;
    if (flags != 0)
        return MAPI_E_UNKNOWN_FLAGS;
    if (kind == TableKind::Contents && FAILED(Setup().rowCountBreak) && !logon->rowCountBreakFired) {
        logon->rowCountBreakFired = true;
        return deadResult = Setup().rowCountBreak;
    }
    const bool reported = kind == TableKind::Contents && Setup().hasReportedRows;
    *count = reported ? Setup().reportedRows : static_cast<ULONG>(Size());
    return configured;
}

HRESULT Table::BreakIn(size_t begin, size_t count) {
    const std::vector<SessionBreak>& breaks = Setup().sessionBreaks;
    for (size_t i = 0; i < breaks.size(); ++i) {
        if (!logon->breakFired[i] && breaks[i].row >= begin && breaks[i].row - begin < count) {
            logon->breakFired[i] = true;
            return breaks[i].result;
        }
    }
    return S_OK;
}

STDMETHODIMP Table::QueryRows(LONG rowCount, ULONG flags, LPSRowSet* rows) {
    SimLock lock;
    Record("QueryRows", flags);
    ++Simulator::Get().ledger.queryRowsCalls;
    const unsigned long call = ++logon->queryRowsCalls;
    if (Setup().queryLatencyMs > 0) {
        // Like a server round trip; other threads may call in meanwhile.
        lock.Release();
        ::Sleep(Setup().queryLatencyMs);
        lock.Reacquire();
    }
    if (!rows)
        return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    if (const HRESULT gone = Gone())
        return gone;
    const HRESULT configured = Configured("QueryRows");
    if (FAILED(configured))
        return configured;
    if (flags & ~TBL_NOADVANCE)
        return MAPI_E_UNKNOWN_FLAGS;
    if (rowCount < 0)
        return MAPI_E_NO_SUPPORT; // reading backwards: nothing here needs it
    if (busyWaitsLeft > 0)
        return MAPI_E_BUSY;
    if (Setup().busyAt != 0 && call == Setup().busyAt) {
        busyWaitsLeft = Setup().busyRepeat;
        return MAPI_E_BUSY;
    }
    if (kind == TableKind::Contents) {
        // The connection is gone for this table: every later call answers the same.
        if (const HRESULT broken = BreakIn(cursor, static_cast<size_t>(rowCount)))
            return deadResult = broken;
    }
    const size_t count = std::min(static_cast<size_t>(rowCount), Size() - cursor);
    const HRESULT served = Serve(cursor, count, rows);
    if (FAILED(served))
        return served;
    Simulator::Get().ledger.rowsServed += count;
    if (!(flags & TBL_NOADVANCE))
        cursor += count;
    return configured;
}

STDMETHODIMP Table::WaitForCompletion(ULONG flags, ULONG, ULONG* tableStatus) {
    SimLock lock;
    Record("WaitForCompletion", flags);
    if (flags != 0)
        return MAPI_E_UNKNOWN_FLAGS;
    if (busyWaitsLeft > 0)
        --busyWaitsLeft;
    if (tableStatus)
        *tableStatus = TBLSTAT_COMPLETE;
    return S_OK;
}

STDMETHODIMP Table::SeekRow(BOOKMARK origin, LONG rowCount, LONG* rowsSought) {
    SimLock lock;
    Record("SeekRow", 0);
    if (const HRESULT gone = Gone())
        return gone;
    const HRESULT configured = Configured("SeekRow");
    if (FAILED(configured))
        return configured;
    size_t from = 0;
    if (origin == BOOKMARK_CURRENT)
        from = cursor;
    else if (origin == BOOKMARK_END)
        from = Size();
    else if (origin != BOOKMARK_BEGINNING)
        return MAPI_E_INVALID_BOOKMARK;
    // The cursor stops at either end of the table; the rows moved say where.
    const long long wanted = static_cast<long long>(from) + rowCount;
    cursor = static_cast<size_t>(std::max(0LL, std::min(wanted, static_cast<long long>(Size()))));
    if (rowsSought)
        *rowsSought = static_cast<LONG>(static_cast<long long>(cursor) - static_cast<long long>(from));
    return configured;
}

HRESULT Table::QueryAllRows(LPSPropTagArray tags, LPSRestriction restriction, LPSSortOrderSet sortOrder,
                            LONG maxRows, LPSRowSet* rows) {
    *rows = nullptr;
    if (const HRESULT gone = Gone())
        return gone;
    if (tags && tags->cValues == 0)
        return MAPI_E_INVALID_PARAMETER;
    if (tags && FAILED(CheckCharWidth(*tags)))
        return MAPI_E_BAD_CHARWIDTH;
    if (sortOrder && sortOrder->cSorts > 0)
        return MAPI_E_TOO_COMPLEX;
    if (restriction) {
        const HRESULT checked = CheckRestriction(restriction);
        if (FAILED(checked))
            return checked;
    }
    if (tags)
        columns.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
    if (restriction) {
        // Restricting moves the cursor to the start, as IMAPITable::Restrict does; a
        // restriction may name any detail.
        matching.clear();
        view.wantedDetails = details::kAll;
        for (size_t i = 0; i < source->Count(); ++i) {
            source->Fill(i, view);
            if (Matches(*restriction, view, Setup().ansiCodePage))
                matching.push_back(i);
        }
        restricted = true;
        cursor = 0;
    }
    view.wantedDetails = DetailsIn(columns);
    const size_t count = Size() - cursor;
    if (maxRows > 0 && count > static_cast<size_t>(maxRows))
        return MAPI_E_TABLE_TOO_BIG;
    const HRESULT served = Serve(cursor, count, rows);
    if (SUCCEEDED(served))
        cursor += count;
    return served;
}

HRESULT Table::Serve(size_t begin, size_t count, LPSRowSet* rows) {
    BufferPool& pool = Simulator::Get().buffers;
    const ULONG cutAt = kind == TableKind::Contents ? Setup().truncateColumns : 0;
    LPSRowSet set = nullptr;
    SCODE result = MakeRowSet(pool, static_cast<ULONG>(count), &set);
    if (FAILED(result))
        return result;
    for (size_t i = 0; i < count; ++i) {
        source->Fill(restricted ? matching[begin + i] : begin + i, view);
        LPSPropValue values = nullptr;
        result = MakeValues(pool, view, columns.data(), static_cast<ULONG>(columns.size()),
                            Setup().ansiCodePage, &values, nullptr, cutAt);
        if (FAILED(result)) {
            DiscardRowSet(pool, set);
            return result;
        }
        set->aRow[i].ulAdrEntryPad = 0;
        set->aRow[i].cValues = static_cast<ULONG>(columns.size());
        set->aRow[i].lpProps = values;
        set->cRows = static_cast<ULONG>(i + 1);
    }
    *rows = set;
    return S_OK;
}

} // namespace mapisim
