#include "tests/mapisim/StandIn.h"
#include "tests/support/MapiScenario.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

// QueryRows on table: the result, and the first row's name (empty when none came).
struct Batch {
    HRESULT result;
    ULONG rows;
    std::string first;
};
Batch Query(StandInLibrary& mapi, IMAPITable* table, LONG count = 25) {
    LPSRowSet rows = nullptr;
    Batch batch{table->QueryRows(count, 0, &rows), 0, ""};
    if (FAILED(batch.result)) {
        EXPECT_EQ(rows, nullptr);
        return batch;
    }
    batch.rows = rows->cRows;
    if (batch.rows > 0)
        batch.first = ReadRow(rows->aRow[0]).name;
    mapi.FreeProws(rows);
    return batch;
}

TEST(MapiFaults, BusyAtAnswersBusyUntilWaitedFor) {
    for (int repeat : {1, 2, 20}) {
        SCOPED_TRACE(repeat);
        MapiScenario scenario("profile_dialog=auto\nbusy_at=2\nbusy_repeat=" + std::to_string(repeat) + "\n",
                              SixtyEntries());
        StandInLibrary mapi;
        GalSession run(mapi);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(run.OpenGalTable(table), S_OK);
        EXPECT_EQ(Query(mapi, table.Get()).first, "User 0");
        EXPECT_EQ(Query(mapi, table.Get()).result, MAPI_E_BUSY);
        // Without waiting the table stays busy.
        EXPECT_EQ(Query(mapi, table.Get()).result, MAPI_E_BUSY);
        for (int wait = 0; wait < repeat; ++wait) {
            if (wait > 0) {
                EXPECT_EQ(Query(mapi, table.Get()).result, MAPI_E_BUSY);
            }
            ULONG status = 99;
            EXPECT_EQ(table->WaitForCompletion(0, 0xFFFFFFFF, &status), S_OK);
            EXPECT_EQ(status, static_cast<ULONG>(TBLSTAT_COMPLETE));
        }
        // The cursor did not move while the table was busy.
        EXPECT_EQ(Query(mapi, table.Get()).first, "User 25");
        EXPECT_EQ(Query(mapi, table.Get()).first, "User 50");
    }
}

TEST(MapiFaults, EndOfSessionKillsTheTableOnceForEachRow) {
    MapiScenario scenario("profile_dialog=auto\nend_session_at=30,40\n", SixtyEntries());
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    EXPECT_EQ(Query(mapi, table.Get()).rows, 25u);
    EXPECT_EQ(Query(mapi, table.Get()).result, MAPI_E_END_OF_SESSION); // rows 25..49 hold 30
    // The table is dead for good.
    EXPECT_EQ(Query(mapi, table.Get(), 1).result, MAPI_E_END_OF_SESSION);
    ULONG count = 0;
    EXPECT_EQ(table->GetRowCount(0, &count), MAPI_E_END_OF_SESSION);
    EXPECT_EQ(table->SetColumns(ReaderColumns(), TBL_BATCH), MAPI_E_END_OF_SESSION);

    // A new table passes 30, which has fired, and dies at 40.
    MapiPtr<IMAPITable> second;
    ASSERT_EQ(run.OpenGalContents(second), S_OK);
    EXPECT_EQ(Query(mapi, second.Get(), 35).rows, 35u);
    EXPECT_EQ(Query(mapi, second.Get(), 10).result, MAPI_E_END_OF_SESSION);
    // A third reads everything.
    MapiPtr<IMAPITable> third;
    ASSERT_EQ(run.OpenGalContents(third), S_OK);
    std::vector<RowValues> rows;
    EXPECT_EQ(run.ReadAll(third.Get(), rows), S_OK);
    EXPECT_EQ(rows.size(), 60u);
}

// A contents row's PR_ENTRYID opens the entry read-only, and its GetProps gives the whole
// text that the table cut.
TEST(MapiFaults, TruncatedColumnsAndEntriesThatGiveTheWholeText) {
    MapiScenario scenario("profile_dialog=auto\ntruncate_columns=4\n", SixtyEntries());
    StandInLibrary mapi;
    {
        GalSession run(mapi);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(run.OpenGalTable(table), S_OK);
        SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DISPLAY_NAME_W}};
        ASSERT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
        ASSERT_EQ(table->SeekRow(BOOKMARK_BEGINNING, 12, nullptr), S_OK);
        MapiRowSet rows(mapi);
        ASSERT_EQ(table->QueryRows(1, 0, rows.Receive()), S_OK);
        ASSERT_EQ(rows->cRows, 1u);
        const SPropValue* values = rows->aRow[0].lpProps;
        EXPECT_EQ(Utf8(values[1].Value.lpszW), "User");
        const SBinary& id = values[0].Value.bin;
        ULONG type = 0;
        MapiPtr<IMAPIProp> entry;
        EXPECT_EQ(run.Book()->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, MAPI_MODIFY,
                                        &type, entry.ReceiveUnknown()),
                  MAPI_E_NO_ACCESS);
        ASSERT_EQ(run.Book()->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr,
                                        MAPI_DEFERRED_ERRORS | mapiconst::MAPI_NO_CACHE, &type,
                                        entry.ReceiveUnknown()),
                  S_OK);
        EXPECT_EQ(type, static_cast<ULONG>(MAPI_MAILUSER));
        SizedSPropTagArray(2, asked) = {2, {PR_DISPLAY_NAME_W, PR_DISPLAY_NAME_A}};
        ULONG count = 0;
        MapiBuffer<SPropValue> props(mapi);
        ASSERT_EQ(entry->GetProps(reinterpret_cast<LPSPropTagArray>(&asked), 0, &count, props.Receive()),
                  S_OK);
        ASSERT_EQ(count, 2u);
        EXPECT_EQ(Utf8(props.Get()[0].Value.lpszW), "User 12");
        EXPECT_STREQ(props.Get()[1].Value.lpszA, "User 12");
        id.lpb[id.cb - 1] ^= 0x40; // an entry beyond the directory
        EXPECT_EQ(run.Book()->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, 0, &type,
                                        entry.ReceiveUnknown()),
                  MAPI_E_UNKNOWN_ENTRYID);
    }
    mapi.Unload();
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Text("objects_outstanding"), "");
    EXPECT_EQ(ledger.Number("buffers_outstanding"), 0);
}

TEST(MapiFaults, EndOfSessionFiresOncePerLogon) {
    MapiScenario scenario("profile_dialog=auto\nend_session_at=0\n", SixtyEntries());
    StandInLibrary mapi;
    for (int logon = 0; logon < 2; ++logon) {
        GalSession run(mapi);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(run.OpenGalTable(table), S_OK);
        EXPECT_EQ(Query(mapi, table.Get()).result, MAPI_E_END_OF_SESSION);
    }
}

TEST(MapiFaults, FirstRowCountEndsTheSessionThenReportedRowsAreServed) {
    MapiScenario scenario("profile_dialog=auto\nrowcount_end_session=1\nreported_rows=100\n", SixtyEntries());
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    ULONG count = 7;
    EXPECT_EQ(table->GetRowCount(0, &count), MAPI_E_END_OF_SESSION);
    EXPECT_EQ(Query(mapi, table.Get()).result, MAPI_E_END_OF_SESSION);
    MapiPtr<IMAPITable> second;
    ASSERT_EQ(run.OpenGalContents(second), S_OK);
    EXPECT_EQ(second->GetRowCount(0, &count), S_OK);
    EXPECT_EQ(count, 100u);
    std::vector<RowValues> rows;
    EXPECT_EQ(run.ReadAll(second.Get(), rows), S_OK);
    EXPECT_EQ(rows.size(), 60u);
}

// Walks the program's path through the directory and reports the first step that fails.
struct Outcome {
    std::string step;
    HRESULT result = S_OK;
};
Outcome WalkEveryStep(StandInLibrary& mapi) {
    GalSession run(mapi);
    Outcome outcome;
    auto step = [&outcome](const char* name, HRESULT result) {
        if (outcome.step.empty() && result != S_OK) {
            outcome.step = name;
            outcome.result = result;
        }
        return outcome.step.empty();
    };
    if (!step("Logon", run.Logon()))
        return outcome;
    MapiPtr<IMsgServiceAdmin> admin;
    if (!step("AdminServices", run.Session()->AdminServices(0, admin.Receive())))
        return outcome;
    MAPIUID global;
    memcpy(global.ab, mapiconst::GlobalProfileSection, sizeof(global.ab));
    MapiPtr<IProfSect> section;
    if (!step("OpenProfileSection",
              admin->OpenProfileSection(&global, nullptr, MAPI_DEFERRED_ERRORS, section.Receive())))
        return outcome;
    SizedSPropTagArray(1, user) = {1, {mapiconst::PR_PROFILE_USER}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    const HRESULT props = section->GetProps(reinterpret_cast<LPSPropTagArray>(&user), 0, &count, &values);
    mapi.MAPIFreeBuffer(values);
    if (!step("GetProps", props) || !step("OpenAddressBook", run.OpenBook()))
        return outcome;
    ULONG type = 0;
    MapiPtr<IABContainer> root;
    if (!step("OpenEntry",
              run.Book()->OpenEntry(0, nullptr, nullptr, MAPI_DEFERRED_ERRORS, &type, root.ReceiveUnknown())))
        return outcome;
    MapiPtr<IMAPITable> hierarchy;
    if (!step("GetHierarchyTable",
              root->GetHierarchyTable(CONVENIENT_DEPTH | MAPI_DEFERRED_ERRORS, hierarchy.Receive())))
        return outcome;
    GalRestriction gal;
    LPSRowSet rows = nullptr;
    SizedSPropTagArray(1, entryId) = {1, {PR_ENTRYID}};
    const HRESULT all = mapi.HrQueryAllRows(hierarchy.Get(), reinterpret_cast<LPSPropTagArray>(&entryId),
                                            gal.Get(), nullptr, 0, &rows);
    if (!step("HrQueryAllRows", all))
        return outcome;
    const std::string id(reinterpret_cast<char*>(rows->aRow[0].lpProps[0].Value.bin.lpb),
                         rows->aRow[0].lpProps[0].Value.bin.cb);
    mapi.FreeProws(rows);
    MapiPtr<IABContainer> container;
    run.OpenContainer(id, MAPI_BEST_ACCESS, container);
    MapiPtr<IMAPITable> table;
    if (!step("GetContentsTable", container->GetContentsTable(0, table.Receive())) ||
        !step("SetColumns", table->SetColumns(ReaderColumns(), TBL_BATCH)) ||
        !step("GetRowCount", table->GetRowCount(0, &count)) ||
        !step("QueryRows", Query(mapi, table.Get()).result))
        return outcome;
    void* block = nullptr;
    step("MAPIAllocateBuffer", mapi.MAPIAllocateBuffer(16, &block));
    mapi.MAPIFreeBuffer(block);
    return outcome;
}

TEST(MapiFaults, FailMakesTheNamedCallFail) {
    const char* const calls[] = {"AdminServices",   "OpenProfileSection", "GetProps",
                                 "OpenAddressBook", "OpenEntry",          "GetHierarchyTable",
                                 "HrQueryAllRows",  "GetContentsTable",   "SetColumns",
                                 "GetRowCount",     "QueryRows",          "MAPIAllocateBuffer"};
    {
        MapiScenario scenario("profile_dialog=auto\n");
        StandInLibrary mapi;
        EXPECT_EQ(WalkEveryStep(mapi).step, "");
    }
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        MapiScenario scenario(std::string("profile_dialog=auto\nfail=") + call + ":0x80040115\n");
        StandInLibrary mapi;
        const Outcome outcome = WalkEveryStep(mapi);
        EXPECT_EQ(outcome.step, call);
        EXPECT_EQ(outcome.result, MAPI_E_NETWORK_ERROR);
        mapi.Unload();
        const Ledger ledger = ReadLedger(scenario.LedgerPath());
        EXPECT_EQ(ledger.Text("objects_outstanding"), "");
        EXPECT_EQ(ledger.Number("buffers_outstanding"), 0);
    }
}

TEST(MapiFaults, FailWithASuccessCodeDoesTheWorkAndReturnsIt) {
    MapiScenario scenario("profile_dialog=auto\nfail=GetRowCount:00040482, QueryRows:0x00040481\n",
                          SixtyEntries());
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    ULONG count = 0;
    EXPECT_EQ(table->GetRowCount(0, &count), MAPI_W_APPROX_COUNT);
    EXPECT_EQ(count, 60u);
    const Batch batch = Query(mapi, table.Get());
    EXPECT_EQ(batch.result, MAPI_W_POSITION_CHANGED);
    EXPECT_EQ(batch.rows, 25u);
}

TEST(MapiFaults, QueryLatencyPausesEachQueryRows) {
    MapiScenario scenario("profile_dialog=auto\nquery_latency_ms=60\n", SixtyEntries());
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    Query(mapi, table.Get());
    Query(mapi, table.Get());
    ::QueryPerformanceCounter(&end);
    // At least the two pauses (less a timer tick); no upper bound.
    EXPECT_GE((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart, 110);
}

} // namespace
