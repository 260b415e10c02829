#include <gtest/gtest.h>
#include "tests/directory/ReaderHarness.h"

// What servers do to a long read beyond ended sessions: tables that cannot count, lists cut
// at 500 entries, and text columns cut at 255 or 510 characters.
namespace {

class ReaderServerLimits : public ::testing::Test {
protected:
    MatchingOutlook outlook;

    Ledger Read(const std::string& lines, const std::vector<DirectoryRow>& rows, ReaderRun& run) {
        MapiScenario scenario("profile_dialog=auto\n" + lines, DirectoryText(rows));
        EXPECT_TRUE(run.Complete());
        const Ledger ledger = ReadLedger(scenario.LedgerPath());
        ExpectLedgerClean(ledger);
        return ledger;
    }
};

TEST_F(ReaderServerLimits, TableThatCannotCountIsReadToItsEnd) {
    for (const char* lines :
         {"fail=GetRowCount:80040102\nquery_latency_ms=60\n", "fail=GetRowCount:80004005\n",
          "fail=GetRowCount:80040102\nend_session_at=30\n"}) {
        SCOPED_TRACE(lines);
        ReaderRun run;
        Read(lines, MailUsers(60), run);
        ASSERT_EQ(run.store.Count(), 60u);
        EXPECT_EQ(run.store.At(59)->userName, L"user59");
        const std::vector<WideString> texts = run.Texts(STATUS_COUNTS);
        for (const WideString& text : texts)
            EXPECT_EQ(text.rfind(L"Read ", 0), 0u) << "entries, never a percentage: " << text;
        EXPECT_EQ(texts.back(), L"Read 60 entries");
        EXPECT_EQ(run.reader.Outcome(), DirectoryReader::RunOutcome::Read) << "no missing entries to tell";
        EXPECT_FALSE(run.reader.ReportedRows());
    }
}

TEST_F(ReaderServerLimits, ListOfExactlyFiveHundredIsNeverPassedOffAsWhole) {
    const WideString capped =
        L"Read 500 entries: Exchange Online lists at most 500 in online mode. If the "
        L"organisation has more, switch Outlook to Cached Exchange Mode and read again.";
    struct Case {
        const char* lines;
        WideString text;
        DirectoryReader::RunOutcome outcome;
    } cases[] = {
        {"row_cap=500\n", capped, DirectoryReader::RunOutcome::ReadAtOnlineLimit},
        {"row_cap=500\nfail=GetRowCount:80040102\n", capped, DirectoryReader::RunOutcome::ReadAtOnlineLimit},
        {"row_cap=500\nreported_rows=600\n", L"Read 500 entries; the directory reported 600.",
         DirectoryReader::RunOutcome::ReadShort},
        {"row_cap=501\n", L"Percentage complete 100%", DirectoryReader::RunOutcome::Read},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        ReaderRun run;
        const Ledger ledger = Read(c.lines, MailUsers(600), run);
        EXPECT_EQ(run.LastCounts().text, c.text);
        EXPECT_EQ(run.LastCounts().total, run.store.Count() == 500 ? L"500" : L"501");
        EXPECT_EQ(run.reader.Outcome(), c.outcome);
        EXPECT_EQ(ledger.Number("rows_served"), static_cast<long>(run.store.Count()));
    }
}

TEST_F(ReaderServerLimits, TextsCutByTheTableAreReadWholeFromTheEntry) {
    const std::string dn255 = "/o=C/cn=" + std::string(247, 'd'); // whole at exactly 255
    const std::vector<DirectoryRow> rows = {
        {"0", "Long " + std::string(295, 'n'), std::string(600, 'm') + "@c.example", dn255},
        {"1", "Short List", "list@c.example", "/o=C/cn=list"},
        {"6",
         "Zo\xC3\xAB " +
             [] {
                 std::string accents;
                 for (int i = 0; i < 400; ++i)
                     accents += "\xC3\xA9";
                 return accents;
             }(),
         "zoe@c.example", "!"},
    };
    ReaderRun expected;
    Read("", rows, expected);

    // Re-read: rows with a text of exactly the cut length (the DN of 255 included).
    for (const auto& [lines, reread] :
         std::vector<std::pair<std::string, size_t>>{{"truncate_columns=255\n", 2},
                                                     {"truncate_columns=510\n", 1},
                                                     {"truncate_columns=255\nunicode=0\n", 2}}) {
        SCOPED_TRACE(lines);
        ReaderRun run;
        const Ledger ledger = Read(lines, rows, run);
        ExpectSameEntries(run.store, expected.store);
        EXPECT_EQ(ledger.CountCalls("IMailUser::GetProps"), reread);
        EXPECT_EQ(ledger.CountCalls("IAddrBook::OpenEntry"), 2 + reread) << "the root, the list, the entries";
    }
    // An entry that cannot be read keeps the table's text.
    ReaderRun run;
    Read("truncate_columns=255\nfail=GetProps:80004005\n", rows, run);
    ASSERT_EQ(run.store.Count(), 3u);
    EXPECT_EQ(run.store.At(0)->userName, WideString(L"Long ") + WideString(250, L'n'));
    EXPECT_EQ(run.store.At(1)->userName, L"Short List");
}

} // namespace
