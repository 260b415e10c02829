#include <gtest/gtest.h>
#include "tests/directory/ReaderHarness.h"
#include "tests/support/LiveAllocations.h"
#include "tests/support/TempFolder.h"

namespace {

const wchar_t kReadFailure[] = L"ERROR: GetGlobalAddressBook had a failure.";

WideString OutOfMemoryText(uint64_t entries) {
    return L"ERROR: out of memory after " + std::to_wstring(entries) +
           L" entries. Close other programs or use the 64-bit flavour, then Connect again.";
}

class ReaderFaults : public ::testing::Test {
protected:
    MatchingOutlook outlook;

    // Runs one scenario over 60 mail users; checks the ledger whatever the outcome.
    void RunScenario(const std::string& lines, ReaderRun& run) {
        MapiScenario scenario("profile_dialog=auto\n" + lines, DirectoryText(MailUsers(60)));
        ASSERT_TRUE(run.Complete());
        ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
    }
    void ExpectReadFailed(const ReaderRun& run) {
        EXPECT_EQ(run.LastCounts().text, kReadFailure);
        EXPECT_EQ(run.LastCounts().total, L"") << "the counters are blanked";
        EXPECT_EQ(run.window.Records().back().code, STATUS_DONE);
    }
    void ExpectReadWhole(const ReaderRun& run) {
        EXPECT_EQ(run.LastCounts().text, L"Percentage complete 100%");
        ASSERT_EQ(run.store.Count(), 60u);
        for (uint64_t i = 0; i < 60; ++i)
            ASSERT_EQ(run.store.At(i)->userName, L"user" + std::to_wstring(i)) << "row " << i;
    }
};

TEST_F(ReaderFaults, GlobalAddressListMustBeFoundExactlyOnce) {
    for (const char* lines : {"gal_count=0\n", "gal_count=2\n"}) {
        SCOPED_TRACE(lines);
        ReaderRun run;
        RunScenario(lines, run);
        ExpectReadFailed(run);
        EXPECT_EQ(run.store.Count(), 0u);
    }
}

TEST_F(ReaderFaults, ProviderRejectingNoCacheIsOpenedWithout) {
    MapiScenario scenario("profile_dialog=auto\nreject_no_cache=1\n", DirectoryText(MailUsers(60)));
    ReaderRun run;
    ASSERT_TRUE(run.Complete());
    ExpectReadWhole(run);
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    ExpectLedgerClean(ledger);
    std::vector<std::string> opens;
    for (const std::string& call : ledger.calls)
        if (call.rfind("IAddrBook::OpenEntry", 0) == 0)
            opens.push_back(call);
    ASSERT_EQ(opens.size(), 3u);
    EXPECT_NE(opens[0].find("flags=0x00000008"), std::string::npos) << "the root";
    EXPECT_NE(opens[1].find("flags=0x00000218"), std::string::npos);
    EXPECT_NE(opens[2].find("flags=0x00000018"), std::string::npos);
}

TEST_F(ReaderFaults, BusyTableIsWaitedForUpToTenTimesABatch) {
    for (const char* lines : {"busy_at=2\n", "busy_at=2\nbusy_repeat=3\n", "busy_at=2\nbusy_repeat=10\n"}) {
        ReaderRun run;
        RunScenario(lines, run);
        ExpectReadWhole(run);
    }
    {
        ReaderRun run;
        RunScenario("busy_at=2\nbusy_repeat=11\n", run);
        ExpectReadFailed(run);
        EXPECT_EQ(run.store.Count(), 25u) << "entries read before the failure stay";
    }
    for (const char* lines : {"busy_at=2\nend_session_at=30\n", "busy_at=3\nend_session_at=59\n"}) {
        ReaderRun run; // the retry meets an ended session: reopened like any other
        RunScenario(lines, run);
        ExpectReadWhole(run);
        EXPECT_EQ(run.Texts(STATUS_TEXT), std::vector<WideString>{L"ERROR: QueryRows"}) << lines;
    }
}

TEST_F(ReaderFaults, LostConnectionsReopenAndStoreEachRowOnce) {
    // With SeekRow the reopened table resumes where the read stopped; without it the rows
    // read before come again and are passed over.
    for (const bool seeks : {true, false}) {
        SCOPED_TRACE(seeks ? "SeekRow" : "no SeekRow");
        MapiScenario scenario(std::string("profile_dialog=auto\nend_session_at=30\nreconnect_at=59\n"
                                          "network_error_at=0\n") +
                                  (seeks ? "" : "fail=SeekRow:80040102\n"),
                              DirectoryText(MailUsers(60)));
        ReaderRun run;
        ASSERT_TRUE(run.Complete());
        ExpectReadWhole(run);
        EXPECT_EQ(run.Texts(STATUS_TEXT), std::vector<WideString>(3, L"ERROR: QueryRows"));
        EXPECT_EQ(run.LastCounts().mailUsers, L"60") << "counted once too";
        const Ledger ledger = ReadLedger(scenario.LedgerPath());
        ExpectLedgerClean(ledger);
        if (seeks)
            EXPECT_EQ(ledger.Number("rows_served"), 60);
        else
            EXPECT_GT(ledger.Number("rows_served"), 60);
    }
}

// The percentage never passes 100 nor reaches it short of the reported count; a table that
// ends short says so with both numbers.
TEST_F(ReaderFaults, ReportedCountOffEitherWay) {
    for (int reported : {90, 61, 7}) {
        ReaderRun run;
        RunScenario("query_latency_ms=60\nreported_rows=" + std::to_string(reported) + "\n", run);
        std::vector<WideString> texts = run.Texts(STATUS_COUNTS);
        EXPECT_EQ(texts.back(), reported < 60 ? L"Percentage complete 100%"
                                              : L"Read 60 entries; the directory reported " +
                                                    std::to_wstring(reported) + L".");
        texts.pop_back();
        for (const WideString& text : texts)
            EXPECT_LE(std::stoi(text.substr(20)), reported < 60 ? 100 : 99) << text;
    }
}

TEST_F(ReaderFaults, LostConnectionAtTheFirstRowCountReopensSilently) {
    for (const char* lost : {"1", "0x80040125", "0x80040115"}) {
        SCOPED_TRACE(lost);
        ReaderRun run;
        RunScenario(std::string("rowcount_end_session=") + lost + "\n", run);
        ExpectReadWhole(run);
        EXPECT_TRUE(run.Texts(STATUS_TEXT).empty());
    }
}

TEST_F(ReaderFaults, EndlessEndedSessionsGiveUpAfterTenFruitlessReopenings) {
    ReaderRun run;
    RunScenario("fail=QueryRows:80040200\n", run);
    ExpectReadFailed(run);
    EXPECT_EQ(run.Texts(STATUS_TEXT).size(), 11u) << "ten reopenings, then the eleventh ended session fails";
}

TEST_F(ReaderFaults, EveryFailingCallIsReported) {
    // Failures before the reading only cost the DN line, which is blanked.
    for (const char* point : {"AdminServices", "OpenProfileSection", "GetProps"}) {
        SCOPED_TRACE(point);
        ReaderRun run;
        RunScenario(std::string("profile_user=/o=C/cn=ann\nfail=") + point + ":80004005\n", run);
        EXPECT_EQ(run.Texts(STATUS_USER_DN), std::vector<WideString>{L""}) << "a blank DN line";
        ExpectReadWhole(run);
    }
    for (const char* point : {"OpenAddressBook", "OpenEntry", "GetHierarchyTable", "HrQueryAllRows",
                              "MAPIAllocateBuffer", "GetContentsTable", "SetColumns", "QueryRows"}) {
        SCOPED_TRACE(point);
        ReaderRun run;
        RunScenario(std::string("fail=") + point + ":80004005\n", run);
        ExpectReadFailed(run);
        EXPECT_EQ(run.store.Count(), 0u);
    }
}

TEST_F(ReaderFaults, StopRequestEndsTheSessionBetweenBatches) {
    MapiScenario scenario("profile_dialog=auto\ngenerate=100000\nquery_latency_ms=5\n");
    ReaderRun run;
    ASSERT_TRUE(run.reader.Start(&run.store, run.window.Window()));
    ASSERT_TRUE(run.window.PumpUntil([&] { return run.store.Count() >= 100; }));
    run.reader.Stop();
    run.window.PumpPending();
    EXPECT_LT(run.store.Count(), 100000u);
    for (const auto& record : run.window.Records())
        EXPECT_NE(record.message.text, kReadFailure) << "a stop is no failure to tell";
    ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
}

TEST_F(ReaderFaults, LargeDirectoryWithEndedSessionsMatchesACleanRead) {
    ReaderRun clean;
    {
        MapiScenario scenario("profile_dialog=auto\ngenerate=100000\n");
        const ULONGLONG start = ::GetTickCount64();
        ASSERT_TRUE(clean.Complete());
        // 4,000 batches, but progress only every 50 ms or so (half that for a coarse tick).
        EXPECT_LE(clean.Texts(STATUS_COUNTS).size(),
                  (::GetTickCount64() - start) / (DirectoryReader::kProgressIntervalMs / 2) + 2);
        ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
    }
    ASSERT_EQ(clean.store.Count(), 100000u);
    EXPECT_EQ(clean.LastCounts().text, L"Percentage complete 100%");
    ReaderRun interrupted;
    {
        // Each kind of lost connection, the last one late: the reopened tables resume where
        // the read stopped, so the stand-in served every row once.
        MapiScenario scenario("profile_dialog=auto\ngenerate=100000\nend_session_at=1000\nreconnect_at="
                              "54321\nnetwork_error_at=99999\n");
        ASSERT_TRUE(interrupted.Complete());
        const Ledger ledger = ReadLedger(scenario.LedgerPath());
        ExpectLedgerClean(ledger);
        EXPECT_EQ(ledger.Number("rows_served"), 100000);
        EXPECT_EQ(ledger.CountCalls("IMAPITable::SeekRow"), 3u);
    }
    ExpectSameEntries(interrupted.store, clean.store);
    EXPECT_EQ(interrupted.LastCounts().total, L"100000");
    EXPECT_EQ(interrupted.LastCounts().mailUsers, clean.LastCounts().mailUsers);
}

// A window that applies nothing while the directory streams in: at most four progress
// messages wait, and the end of the run still arrives.
TEST_F(ReaderFaults, WindowFallingBehindNeverLosesTheEndOfARun) {
    MapiScenario scenario("profile_dialog=auto\ngenerate=60000\n");
    ReaderRun run;
    ASSERT_TRUE(run.reader.Start(&run.store, run.window.Window()));
    run.reader.Wait(); // no dispatching meanwhile
    run.window.PumpPending();
    const auto counts = run.Texts(STATUS_COUNTS);
    EXPECT_LE(counts.size(), static_cast<size_t>(DirectoryReader::kMaxWaitingProgress) + 1);
    EXPECT_EQ(run.LastCounts().text, L"Percentage complete 100%");
    EXPECT_EQ(run.LastCounts().total, L"60000");
    EXPECT_EQ(run.window.Records().back().code, STATUS_DONE);
    ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
}

TEST_F(ReaderFaults, RunningOutOfMemoryFailsTheReadingAndSaysSo) {
    MapiScenario scenario("profile_dialog=auto\nquery_latency_ms=2\ngenerate=20000\n");
    ReaderRun run;
    ASSERT_TRUE(run.reader.Start(&run.store, run.window.Window()));
    ASSERT_TRUE(run.window.PumpUntil([&] { return run.store.Count() >= 500; }));
    FailAllocationsOnOtherThreads(true);
    const bool done = run.window.PumpUntil([&] { return run.window.SawDone(); });
    FailAllocationsOnOtherThreads(false);
    run.reader.Wait();
    ASSERT_TRUE(done);
    EXPECT_EQ(run.LastCounts().text, OutOfMemoryText(run.store.Count()));
    EXPECT_EQ(run.LastCounts().total, L"");
    EXPECT_EQ(run.reader.Outcome(), DirectoryReader::RunOutcome::OutOfMemory);
    EXPECT_GE(run.store.Count(), 500u) << "what was read stays for the export";
    EXPECT_LT(run.store.Count(), 20000u);
    ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
}

// The store running out after a given number of entries, and MAPI running out of its own
// memory: both end the read as out of memory, naming the entries kept.
TEST_F(ReaderFaults, OutOfMemoryIsNamedWithTheEntriesKept) {
    for (const uint64_t limit : {uint64_t(1234), uint64_t(0)}) {
        MapiScenario scenario("profile_dialog=auto\ngenerate=3000\n");
        ReaderRun run;
        run.store.FailAppendsFrom(limit);
        ASSERT_TRUE(run.Complete());
        EXPECT_EQ(run.LastCounts().text, OutOfMemoryText(limit));
        EXPECT_EQ(run.LastCounts().mailUsers, L"") << "the counters are blanked";
        EXPECT_EQ(run.store.Count(), limit);
        EXPECT_EQ(run.reader.Outcome(), DirectoryReader::RunOutcome::OutOfMemory);
        EXPECT_EQ(run.reader.OutcomeResult(), E_OUTOFMEMORY);
        ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
    }
    ReaderRun run;
    RunScenario("fail=QueryRows:8007000E\n", run);
    EXPECT_EQ(run.LastCounts().text, OutOfMemoryText(0));
    EXPECT_EQ(run.reader.Outcome(), DirectoryReader::RunOutcome::OutOfMemory);
    EXPECT_EQ(run.reader.OutcomeResult(), static_cast<HRESULT>(0x8007000E));
}

// The queue is full when the run ends: STATUS_DONE is retried until the window catches up.
TEST_F(ReaderFaults, FullQueueDelaysButKeepsTheEnd) {
    MapiScenario scenario("profile_dialog=auto\n", DirectoryText(MailUsers(60)));
    ReaderRun run;
    int junk = 0;
    while (::PostMessageW(run.window.Window(), WM_NULL, 0, 0) && junk < 20000)
        ++junk;
    if (junk == 20000)
        GTEST_SKIP() << "this platform's message queue has no quota";
    ASSERT_TRUE(run.reader.Start(&run.store, run.window.Window()));
    ::Sleep(500);
    ASSERT_TRUE(run.window.PumpUntil([&] { return run.window.SawDone(); }));
    run.reader.Wait();
    EXPECT_EQ(run.store.Count(), 60u);
    EXPECT_EQ(run.LastCounts().total, L"60");
}

TEST_F(ReaderFaults, PlantedLibraryBesideTheProgramIsNeverLoaded) {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    WideString folder = path;
    folder.resize(folder.find_last_of(L'\\') + 1);
    const WideString planted = folder + L"MAPI32.dll";
    ASSERT_TRUE(WriteFileBytes(planted, "not a library"));
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(folder.c_str());
    ReaderRun run;
    RunScenario("", run);
    ::SetCurrentDirectoryW(previous);
    ::DeleteFileW(planted.c_str());
    ExpectReadWhole(run);
}
} // namespace
