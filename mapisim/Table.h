#pragma once
#include "mapisim/MapiObject.h"
#include <vector>

namespace mapisim {

// Where a table's rows come from.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual size_t Count() const = 0;
    virtual void Fill(size_t index, RowView& row) const = 0;
};

// The entries of a container, each with the entry identifier that opens it.
class ContentsRows : public RowSource {
public:
    ContentsRows(std::shared_ptr<const Directory> source, int container);
    size_t Count() const override { return directory->Count(); }
    void Fill(size_t index, RowView& row) const override;

private:
    std::shared_ptr<const Directory> directory;
    std::string entryIdPrefix;
};

// The containers below one container (-1: the root), each with its depth below it.
class HierarchyRows : public RowSource {
public:
    HierarchyRows(std::shared_ptr<const Scenario> scenario, int parent, bool allLevels);
    size_t Count() const override { return rows.size(); }
    void Fill(size_t index, RowView& row) const override;

private:
    void AddChildren(int parent, LONG depth, bool allLevels);
    std::shared_ptr<const Scenario> scenario;
    std::vector<std::pair<int, LONG>> rows;
};

enum class TableKind { Hierarchy, Contents };

// IMAPITable over a row source: a cursor, a column set, and the faults the scenario asks
// for. Rows are built only when they are served.
class Table : public MapiObject<IMAPITable> {
public:
    // unicode: opened with MAPI_UNICODE, so the columns before SetColumns are PT_UNICODE.
    Table(std::shared_ptr<LogonState> logon, std::unique_ptr<RowSource> source, TableKind kind,
          bool unicode = false);

    // HrQueryAllRows' work, without the calls it would make being recorded.
    HRESULT QueryAllRows(LPSPropTagArray tags, LPSRestriction restriction, LPSSortOrderSet sortOrder,
                         LONG maxRows, LPSRowSet* rows);

    STDMETHODIMP SetColumns(LPSPropTagArray tags, ULONG flags) override;
    STDMETHODIMP GetRowCount(ULONG flags, ULONG* count) override;
    STDMETHODIMP QueryRows(LONG rowCount, ULONG flags, LPSRowSet* rows) override;
    STDMETHODIMP WaitForCompletion(ULONG flags, ULONG timeout, ULONG* tableStatus) override;
    STDMETHODIMP SeekRow(BOOKMARK origin, LONG rowCount, LONG* rowsSought) override;

    MAPISIM_NO_SUPPORT(GetLastError, (HRESULT, ULONG, LPMAPIERROR*))
    MAPISIM_NO_SUPPORT(Advise, (ULONG, LPMAPIADVISESINK, ULONG*))
    MAPISIM_NO_SUPPORT(Unadvise, (ULONG))
    MAPISIM_NO_SUPPORT(GetStatus, (ULONG*, ULONG*))
    MAPISIM_NO_SUPPORT(QueryColumns, (ULONG, LPSPropTagArray*))
    MAPISIM_NO_SUPPORT(SeekRowApprox, (ULONG, ULONG))
    MAPISIM_NO_SUPPORT(QueryPosition, (ULONG*, ULONG*, ULONG*))
    MAPISIM_NO_SUPPORT(FindRow, (LPSRestriction, BOOKMARK, ULONG))
    MAPISIM_NO_SUPPORT(Restrict, (LPSRestriction, ULONG))
    MAPISIM_NO_SUPPORT(CreateBookmark, (BOOKMARK*))
    MAPISIM_NO_SUPPORT(FreeBookmark, (BOOKMARK))
    MAPISIM_NO_SUPPORT(SortTable, (LPSSortOrderSet, ULONG))
    MAPISIM_NO_SUPPORT(QuerySortOrder, (LPSSortOrderSet*))
    MAPISIM_NO_SUPPORT(Abort, ())
    MAPISIM_NO_SUPPORT(ExpandRow, (ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*))
    MAPISIM_NO_SUPPORT(CollapseRow, (ULONG, LPBYTE, ULONG, ULONG*))
    MAPISIM_NO_SUPPORT(GetCollapseState, (ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*))
    MAPISIM_NO_SUPPORT(SetCollapseState, (ULONG, ULONG, LPBYTE, BOOKMARK*))

private:
    bool Implements(const IID& iid) const override { return SameIid(iid, kIID_IMAPITable); }
    // MAPI_E_END_OF_SESSION once the session logged off; what killed the table once it died.
    HRESULT Gone() const { return logon->loggedOff ? MAPI_E_END_OF_SESSION : deadResult; }
    size_t Size() const;
    HRESULT Serve(size_t begin, size_t count, LPSRowSet* rows);
    // MAPI_E_BAD_CHARWIDTH when the provider has no UTF-16 and tags ask for it.
    HRESULT CheckCharWidth(const SPropTagArray& tags) const;
    // What the connection answers when the requested rows reach a row at which it breaks
    // (S_OK: it holds).
    HRESULT BreakIn(size_t begin, size_t count);

    std::unique_ptr<RowSource> source;
    const TableKind kind;
    std::vector<ULONG> columns;
    bool restricted = false;
    std::vector<size_t> matching; // source rows that pass the restriction
    size_t cursor = 0;
    HRESULT deadResult = S_OK;
    int busyWaitsLeft = 0; // WaitForCompletion calls still needed before rows flow again
    RowView view;
};

} // namespace mapisim
