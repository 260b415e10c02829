#include "tests/mapisim/StandIn.h"
#include "tests/support/MapiScenario.h"
#include <gtest/gtest.h>
#include <thread>

namespace {

const char kThreeEntries[] =
    "0\tA\ta@x.example\t/o=x/cn=a\n1\tB\tb@x.example\t/o=x/cn=b\n2\tC\t!\t/o=x/cn=c\n";

// The ledger as written by a MAPIUninitialize now, with MAPI initialised again after.
Ledger Snapshot(StandInLibrary& mapi, const MapiScenario& scenario) {
    mapi.MAPIUninitialize();
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(mapi.InitializeForReader(), S_OK);
    return ledger;
}

TEST(MapiLedger, RowSetAndEachRowAreSeparateBlocksFreedExactly) {
    MapiScenario scenario("profile_dialog=auto\n", kThreeEntries);
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    const long before = Snapshot(mapi, scenario).Number("buffers_outstanding");

    LPSRowSet rows = nullptr;
    ASSERT_EQ(table->QueryRows(25, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 3u);
    EXPECT_EQ(Snapshot(mapi, scenario).Number("buffers_outstanding"), before + 4);
    // A string lives in a block linked to its row: freeing it alone is refused, untouched.
    EXPECT_NE(mapi.MAPIFreeBuffer(rows->aRow[0].lpProps[1].Value.lpszA), 0u);
    // Each row's values are one block of their own.
    EXPECT_EQ(mapi.MAPIFreeBuffer(rows->aRow[2].lpProps), 0u);
    rows->aRow[2].lpProps = nullptr;
    Ledger ledger = Snapshot(mapi, scenario);
    EXPECT_EQ(ledger.Number("buffers_outstanding"), before + 3);
    EXPECT_EQ(ledger.Number("bad_frees"), 1);
    mapi.FreeProws(rows);
    EXPECT_EQ(Snapshot(mapi, scenario).Number("buffers_outstanding"), before);
    // A second FreeProws of the same set is counted and not acted on.
    mapi.FreeProws(rows);
    EXPECT_EQ(Snapshot(mapi, scenario).Number("bad_frees"), 1);

    // The end of the table is an empty set, still a block to free.
    ASSERT_EQ(table->QueryRows(25, 0, &rows), S_OK);
    EXPECT_EQ(rows->cRows, 0u);
    EXPECT_EQ(Snapshot(mapi, scenario).Number("buffers_outstanding"), before + 1);
    EXPECT_EQ(mapi.MAPIFreeBuffer(rows), 0u);
    EXPECT_EQ(Snapshot(mapi, scenario).Number("buffers_outstanding"), before);
}

TEST(MapiLedger, LeakedBufferAndObjectAreListed) {
    MapiScenario scenario("profile_dialog=auto\n", kThreeEntries);
    StandInLibrary mapi;
    void* leakedBuffer = nullptr;
    IMAPITable* leakedTable = nullptr;
    {
        GalSession run(mapi);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(run.OpenGalTable(table), S_OK);
        ASSERT_EQ(mapi.MAPIAllocateBuffer(100, &leakedBuffer), S_OK);
        table->AddRef();
        leakedTable = table.Get();
    }
    Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Number("buffers_outstanding"), 1);
    EXPECT_EQ(ledger.Text("objects_outstanding"), "IMAPITable");
    EXPECT_EQ(ledger.Number("initialize_calls"), ledger.Number("uninitialize_calls"));

    // Unloading writes the ledger once more, leaks and all.
    mapi.Unload();
    ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Number("buffers_outstanding"), 1);
    EXPECT_EQ(ledger.Text("objects_outstanding"), "IMAPITable");
    (void)leakedTable; // its code is gone with the DLL; the leak stays a leak
}

TEST(MapiLedger, ReferenceCountsDecideWhenObjectsGo) {
    MapiScenario scenario("profile_dialog=auto\n");
    StandInLibrary mapi;
    GalSession run(mapi);
    ASSERT_EQ(run.Logon(), S_OK);
    ASSERT_EQ(run.OpenBook(), S_OK);
    IAddrBook* book = run.Book();
    IUnknown* unknown = nullptr;
    const IID iidUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    ASSERT_EQ(book->QueryInterface(iidUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(book->AddRef(), 3u);
    EXPECT_EQ(mapi.UlRelease(unknown), 2u);
    EXPECT_EQ(book->Release(), 1u);
    EXPECT_EQ(mapi.UlRelease(nullptr), 0u);
    const Ledger ledger = Snapshot(mapi, scenario);
    EXPECT_EQ(ledger.Text("objects_outstanding"), "IMAPISession,IAddrBook");
    EXPECT_EQ(ledger.CountCalls("UlRelease"), 2u);
    EXPECT_EQ(ledger.CountCalls("IAddrBook::Release"), 2u); // one by UlRelease, one directly
    EXPECT_EQ(ledger.CountCalls("IAddrBook::AddRef"), 1u);
    EXPECT_EQ(ledger.CountCalls("IAddrBook::QueryInterface"), 1u);
    run.Close();
    EXPECT_EQ(ReadLedger(scenario.LedgerPath()).Text("objects_outstanding"), "");
}

TEST(MapiLedger, CountsThreadsAndRowsAndListsCallsInOrder) {
    MapiScenario scenario("profile_dialog=auto\n", kThreeEntries);
    StandInLibrary mapi;
    {
        GalSession run(mapi);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(run.OpenGalTable(table), S_OK);
        std::vector<RowValues> rows;
        ASSERT_EQ(run.ReadAll(table.Get(), rows, 2), S_OK);
    }
    Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Number("threads"), 1);
    EXPECT_EQ(ledger.Number("query_rows_calls"), 3);
    EXPECT_EQ(ledger.Number("rows_served"), 3);
    const std::vector<std::string> expected = {
        "MAPIInitialize flags=0x00000001",
        "MAPILogonEx flags=0x00008023",
        "IMAPISession::OpenAddressBook flags=0x00000001",
        "IAddrBook::OpenEntry flags=0x00000008",
        "IABContainer::GetHierarchyTable flags=0x00000009",
        "HrQueryAllRows flags=0x00000000",
        "FreeProws flags=0x00000000",
        "IMAPITable::Release flags=0x00000000",
        "IABContainer::Release flags=0x00000000",
        "IAddrBook::OpenEntry flags=0x00000018",
        "IABContainer::GetContentsTable flags=0x00000000",
        "IMAPITable::SetColumns flags=0x00000002",
        "IABContainer::Release flags=0x00000000",
        "IMAPITable::QueryRows flags=0x00000000",
        "FreeProws flags=0x00000000",
        "IMAPITable::QueryRows flags=0x00000000",
        "FreeProws flags=0x00000000",
        "IMAPITable::QueryRows flags=0x00000000",
        "FreeProws flags=0x00000000",
        "IMAPITable::Release flags=0x00000000",
        "IAddrBook::Release flags=0x00000000",
        "IMAPISession::Logoff flags=0x00000001",
        "IMAPISession::Release flags=0x00000000",
        "MAPIUninitialize flags=0x00000000",
    };
    EXPECT_EQ(ledger.calls, expected);

    // A call from another thread is counted as a second thread.
    {
        GalSession run(mapi);
        ASSERT_EQ(run.Logon(), S_OK);
        std::thread other([&mapi] {
            void* block = nullptr;
            mapi.MAPIAllocateBuffer(8, &block);
            mapi.MAPIFreeBuffer(block);
        });
        other.join();
    }
    ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Number("threads"), 2);
    EXPECT_EQ(ledger.Number("query_rows_calls"), 0);
}

} // namespace
