#include <gtest/gtest.h>
#include <cwchar>
#include "tests/directory/ReaderHarness.h"

namespace {

class Reader : public ::testing::Test {
protected:
    MatchingOutlook outlook;
};

TEST_F(Reader, HappyPathPostsDnThenProgressThenDone) {
    // Batches further apart than the progress interval: each one posts its progress.
    MapiScenario scenario(
        "profile_dialog=auto\nquery_latency_ms=70\nprofile_user=/o=Corvane/ou=Staff/cn=ann\n",
        DirectoryText(MailUsers(60)));
    ReaderRun run;
    ASSERT_TRUE(run.Complete());

    const auto& records = run.window.Records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].code, STATUS_USER_DN);
    EXPECT_EQ(records[0].message.text, L"LegacyExchangeDN: /o=Corvane/ou=Staff/cn=ann");
    // 25, 50 and 60 of 60 rows.
    const wchar_t* percentages[] = {L"Percentage complete 42%", L"Percentage complete 83%",
                                    L"Percentage complete 100%"};
    const wchar_t* totals[] = {L"25", L"50", L"60"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[1 + i].code, STATUS_COUNTS);
        EXPECT_EQ(records[1 + i].message.text, percentages[i]);
        EXPECT_EQ(records[1 + i].message.mailUsers, totals[i]);
        EXPECT_EQ(records[1 + i].message.total, totals[i]);
        EXPECT_EQ(records[1 + i].message.distributionLists, L"0");
    }
    EXPECT_EQ(records[4].code, STATUS_DONE);
    EXPECT_FALSE(records[4].hadPayload);
    EXPECT_EQ(run.window.PayloadsFreed(), 4);

    ASSERT_EQ(run.store.Count(), 60u);
    EXPECT_EQ(run.store.At(59)->userName, L"user59");
    EXPECT_EQ(run.store.At(59)->email, L"user59@corvane.example");
    EXPECT_EQ(run.store.At(59)->distinguishedName, L"/o=Corvane/ou=Staff/cn=user59");

    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    ExpectLedgerClean(ledger);
    EXPECT_EQ(ledger.Number("logons"), 1);
    EXPECT_EQ(ledger.Number("rows_served"), 60);
}

TEST_F(Reader, ClassifiesAndDecodesEveryKindOfRow) {
    const std::vector<DirectoryRow> rows = {
        {"0", "Ann", "ann@corvane.example", "/o=C/cn=ann"},
        {"1", "All Staff", "staff@corvane.example", "/o=C/cn=staff"},
        {"2", "Public Folder", "pf@corvane.example", "/o=C/cn=pf"},
        {"3", "Fax Agent", "fax@corvane.example", "/o=C/cn=fax"},
        {"6", "Remote Bob", "bob@elsewhere.example", "/o=C/cn=bob"},
        {"4", "Organisation", "org@corvane.example", "/o=C/cn=org"},
        {"5", "Private List", "pl@corvane.example", "/o=C/cn=pl"},
        {"-7", "Odd Type", "odd@corvane.example", "/o=C/cn=odd"},
        {"!", "No Type", "!", "!"},
        {"!", "!", "!", "/o=C/cn=typeless"},
        {"0", "No Mail", "!", "/o=C/cn=nomail"},
        {"0",
         "Ren\xC3\xA9"
         "e \xE6\x9D\x8E \xF0\x9F\x98\x80",
         "renee@corvane.example", "/o=C/cn=renee"},
        {"0", "Bad\\xFF\\xC3Bytes", "bad@corvane.example", "/o=C/cn=bad"},
    };
    MapiScenario scenario("profile_dialog=auto\n", DirectoryText(rows));
    ReaderRun run;
    ASSERT_TRUE(run.Complete());
    ASSERT_EQ(run.store.Count(), rows.size());

    struct Expected {
        int64_t code;
        const wchar_t* type;
        const wchar_t* name;
        const wchar_t* email;
        const wchar_t* dn;
    } expected[] = {
        {0, L"mailuser", L"Ann", L"ann@corvane.example", L"/o=C/cn=ann"},
        {1, L"dist list", L"All Staff", L"staff@corvane.example", L"/o=C/cn=staff"},
        {3, L"forum", L"Public Folder", L"pf@corvane.example", L"/o=C/cn=pf"},
        {4, L"agent", L"Fax Agent", L"fax@corvane.example", L"/o=C/cn=fax"},
        {2, L"remote", L"Remote Bob", L"bob@elsewhere.example", L"/o=C/cn=bob"},
        {5, L"unknown", L"Organisation", L"org@corvane.example", L"/o=C/cn=org"},
        {5, L"unknown", L"Private List", L"pl@corvane.example", L"/o=C/cn=pl"},
        {5, L"unknown", L"Odd Type", L"odd@corvane.example", L"/o=C/cn=odd"},
        {5, L"unknown", L"No Type", L"unknown", L"unknown"},
        {5, L"unknown", L"unknown", L"unknown", L"/o=C/cn=typeless"},
        {0, L"mailuser", L"No Mail", L"", L"/o=C/cn=nomail"},
        {0, L"mailuser", L"Ren\u00e9e \u674e \U0001F600", L"renee@corvane.example", L"/o=C/cn=renee"},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        const AddressEntry* entry = run.store.At(i);
        EXPECT_EQ(entry->typeCode, expected[i].code) << i;
        EXPECT_EQ(entry->typeText, expected[i].type) << i;
        EXPECT_EQ(entry->userName, expected[i].name) << i;
        EXPECT_EQ(entry->email, expected[i].email) << i;
        EXPECT_EQ(entry->distinguishedName, expected[i].dn) << i;
    }
    const WideString garbled = run.store.At(12)->userName;
    EXPECT_EQ(garbled.substr(0, 3), L"Bad");
    EXPECT_NE(garbled.find(L'\uFFFD'), WideString::npos) << "invalid UTF-8 becomes replacement characters";
    EXPECT_EQ(garbled.substr(garbled.size() - 5), L"Bytes");

    const StatusTexts counts = run.LastCounts();
    EXPECT_EQ(counts.mailUsers, L"4");
    EXPECT_EQ(counts.distributionLists, L"1");
    EXPECT_EQ(counts.forums, L"1");
    EXPECT_EQ(counts.agents, L"1");
    EXPECT_EQ(counts.remoteMailUsers, L"1");
    EXPECT_EQ(counts.total, L"13") << "unknown entries count only in the total";
    ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
}

// A provider without UTF-16 refuses the reader's columns; the 8-bit texts it then gives are
// in the ANSI code page, and come out exactly wherever that code page holds them.
TEST_F(Reader, ProviderWithoutUnicodeGivesAnsiTextsDecodedFromTheCodePage) {
    ASSERT_EQ(::GetACP(), 1252u) << "the tests run with Wine's ANSI code page 1252 (cmake/wine-run.sh)";
    const std::vector<DirectoryRow> rows = {
        {"0", "Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m", "zoe@corvane.example", "/o=C/cn=zo\xC3\xAB"},
        {"1", "Ventes \xE2\x80\x93 \xC3\x89quipe \xE2\x82\xAC", "ventes@corvane.example", "/o=C/cn=ventes"},
        {"0",
         "\xCE\x91\xCE\xBD\xCE\xB4\xCF\x81\xCE\xAD\xCE\xB1\xCF\x82 \xE6\x9D\x8E \xEB\xAF\xBC "
         "\xF0\x9F\x98\x80",
         "andreas@corvane.example", "/o=C/cn=andreas"},
    };
    MapiScenario scenario("profile_dialog=auto\nunicode=0\nprofile_user=/o=C/cn=J\xC3\xBCrgen\n",
                          DirectoryText(rows));
    ReaderRun run;
    ASSERT_TRUE(run.Complete());
    EXPECT_EQ(run.Texts(STATUS_USER_DN), std::vector<WideString>{L"LegacyExchangeDN: /o=C/cn=J\u00fcrgen"});
    ASSERT_EQ(run.store.Count(), 3u);
    EXPECT_EQ(run.store.At(0)->userName, L"Zo\u00eb \u00c5ngstr\u00f6m");
    EXPECT_EQ(run.store.At(0)->distinguishedName, L"/o=C/cn=zo\u00eb");
    EXPECT_EQ(run.store.At(1)->userName, L"Ventes \u2013 \u00c9quipe \u20ac");
    EXPECT_EQ(run.store.At(1)->email, L"ventes@corvane.example");
    // Greek, Chinese, Korean and an emoji are lost in Windows-1252, but not read as UTF-8.
    const WideString lost = run.store.At(2)->userName;
    EXPECT_LE(lost.size(), wcslen(L"\u0391\u03bd\u03b4\u03c1\u03ad\u03b1\u03c2 \u674e \ubbfc \U0001F600"))
        << "UTF-8 bytes read as ANSI";
    for (uint64_t i = 0; i < run.store.Count(); ++i) {
        const AddressEntry* entry = run.store.At(i);
        for (const StoredText* text : {&entry->userName, &entry->email, &entry->distinguishedName})
            EXPECT_EQ(text->find(L'\uFFFD'), WideString::npos) << i;
    }
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    ExpectLedgerClean(ledger);
    EXPECT_EQ(ledger.CountCalls("IMAPITable::SetColumns"), 2u)
        << "the UTF-16 columns, refused, then the 8-bit ones";
}

// Every read ends with its own counts and DN line, even with nothing to show.
TEST_F(Reader, EmptyListAndUnreportedRowCount) {
    {
        MapiScenario scenario("profile_dialog=auto\nprofile_user=!\n", DirectoryText({}));
        ReaderRun run;
        ASSERT_TRUE(run.Complete());
        ASSERT_EQ(run.window.Records().size(), 3u);
        EXPECT_EQ(run.window.Records()[0].code, STATUS_USER_DN);
        EXPECT_EQ(run.window.Records()[0].message.text, L"") << "no profile user: a blank DN line";
        EXPECT_EQ(run.Texts(STATUS_COUNTS), std::vector<WideString>{L"Percentage complete 100%"});
        EXPECT_EQ(run.LastCounts().mailUsers, L"0");
        EXPECT_EQ(run.LastCounts().total, L"0");
        EXPECT_EQ(run.store.Count(), 0u);
        ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
    }
    {
        MapiScenario scenario("profile_dialog=auto\nreported_rows=0\nprofile_user=!\n",
                              DirectoryText(MailUsers(30)));
        ReaderRun run;
        ASSERT_TRUE(run.Complete());
        EXPECT_EQ(run.Texts(STATUS_USER_DN), std::vector<WideString>{L""}) << "the reading goes on";
        // No base for a percentage while reading; the end of the table is the whole list.
        EXPECT_EQ(run.Texts(STATUS_COUNTS),
                  (std::vector<WideString>{L"Percentage complete 0%", L"Percentage complete 100%"}));
        EXPECT_EQ(run.LastCounts().total, L"30");
        ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
    }
}

TEST_F(Reader, LogonFailuresAreToldInTheirOwnWords) {
    const struct {
        const char* scenario;
        const wchar_t* text;
    } cases[] = {
        {"logon=80040111",
         L"The logon did not succeed, either because one or more of the parameters to Profile "
         L"were invalid or because there were too many sessions open already."},
        {"logon=80040113",
         L"The user canceled the operation, typically by choosing the Cancel button in a dialog box."},
        {"profile_dialog=cancel",
         L"The user canceled the operation, typically by choosing the Cancel button in a dialog box."},
        {"logon=8004011C",
         L"A service provider has not been configured, and therefore the operation did not complete."},
        {"logon=80040401", L"MAPI serializes all logons through a mutex. This is returned if the another "
                           L"thread held the mutex."},
        {"logon=80004005", L"The logon did not succeed"},
        {"initialize=80004005", L"ERROR: MAPIInitialize"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        MapiScenario scenario(std::string("profile_dialog=auto\n") + c.scenario + "\n",
                              DirectoryText(MailUsers(3)));
        ReaderRun run;
        ASSERT_TRUE(run.Complete());
        const auto& records = run.window.Records();
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].code, STATUS_DONE);
        EXPECT_EQ(records[1].code, STATUS_COUNTS);
        EXPECT_EQ(records[1].message.text, c.text);
        EXPECT_EQ(records[1].message.total, L"") << "the counters are blanked";
        EXPECT_EQ(run.store.Count(), 0u);
        const Ledger ledger = ReadLedger(scenario.LedgerPath());
        ExpectLedgerClean(ledger, std::string(c.scenario).rfind("initialize=", 0) == 0 ? 1 : 0);
        EXPECT_EQ(ledger.Number("logons"), 0);
    }
}

TEST_F(Reader, LogonWarningCountsAsLogon) {
    MapiScenario scenario("profile_dialog=auto\nlogon=00040380\n", DirectoryText(MailUsers(3)));
    ReaderRun run;
    ASSERT_TRUE(run.Complete());
    EXPECT_EQ(run.store.Count(), 3u);
    ExpectLedgerClean(ReadLedger(scenario.LedgerPath()));
}

TEST(ReaderBitness, MismatchRefusesWithoutAnyMapiCall) {
    const bool is64 = BuildBitness == Bitness::X64;
    const struct {
        Bitness bitness;
        const wchar_t* shown;
    } mismatches[] = {{is64 ? Bitness::X86 : Bitness::X64, is64 ? L"x86" : L"x64"},
                      {Bitness::Unknown, L"UNKNOWN"}};
    for (const auto& reported : mismatches) {
        OutlookRegistry outlook;
        ASSERT_TRUE(outlook.Report(reported.bitness));
        MapiScenario scenario("profile_dialog=auto\n", DirectoryText(MailUsers(3)));
        ReaderRun run;
        ASSERT_TRUE(run.Complete());
        ASSERT_EQ(run.window.Records().size(), 2u);
        EXPECT_EQ(run.window.Records()[0].code, STATUS_DONE);
        EXPECT_EQ(run.window.Records()[1].message.text,
                  L"ERROR: Outlook bitness reported as: \"" + WideString(reported.shown) +
                      L"\" ... please use the correct version of this utility.");
        EXPECT_EQ(::GetFileAttributesW(scenario.LedgerPath().c_str()), INVALID_FILE_ATTRIBUTES)
            << "MAPI was never loaded, so no ledger was written";
    }
}

// Wine's own MAPI32 has no provider behind it, like a machine without Outlook: its
// MAPIInitialize fails. This runs in a ctest entry of its own, whose process starts with
// that library instead of the stand-in.
TEST(ReaderPlatformMapi, WithoutProviderInitializationFails) {
    MatchingOutlook outlook;
    ReaderRun run;
    ASSERT_TRUE(run.Complete());
    ASSERT_EQ(run.window.Records().size(), 2u);
    EXPECT_EQ(run.window.Records()[0].code, STATUS_DONE);
    EXPECT_EQ(run.LastCounts().text, L"ERROR: MAPIInitialize");
}

TEST_F(Reader, OneReaderServesRunsInTurn) {
    MapiScenario scenario("profile_dialog=auto\n", DirectoryText(MailUsers(40)));
    ReaderRun run;
    ASSERT_TRUE(run.Complete());
    // The next Connect comes as soon as STATUS_DONE is applied, while the first thread
    // may still be ending its session.
    run.store.Clear();
    ASSERT_TRUE(run.reader.Start(&run.store, run.window.Window()));
    ASSERT_TRUE(run.window.PumpUntil([&] {
        int done = 0;
        for (const auto& r : run.window.Records())
            done += r.code == STATUS_DONE;
        return done == 2;
    }));
    run.reader.Wait();
    EXPECT_EQ(run.store.Count(), 40u);
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    ExpectLedgerClean(ledger);
    EXPECT_EQ(ledger.Number("initialize_calls"), 1)
        << "the second run began after the first had uninitialised";
}
} // namespace
