#include "tests/directory/ReaderHarness.h"
#include <gtest/gtest.h>

bool ReaderRun::Complete(DWORD timeoutMs) {
    if (!reader.Start(&store, window.Window()))
        return false;
    const bool done = window.PumpUntil([this] { return window.SawDone(); }, timeoutMs);
    reader.Wait();
    window.PumpPending();
    return done;
}

StatusTexts ReaderRun::LastCounts() const {
    StatusTexts last;
    for (const auto& record : window.Records())
        if (record.code == STATUS_COUNTS)
            last = record.message;
    return last;
}

std::string DirectoryText(const std::vector<DirectoryRow>& rows) {
    std::string text = "# display type, name, SMTP address, distinguished name\n";
    for (const DirectoryRow& row : rows)
        text += row.displayType + "\t" + row.name + "\t" + row.smtp + "\t" + row.dn + "\n";
    return text;
}

std::vector<DirectoryRow> MailUsers(int n) {
    std::vector<DirectoryRow> rows;
    for (int i = 0; i < n; ++i) {
        const std::string name = "user" + std::to_string(i);
        rows.push_back({"0", name, name + "@corvane.example", "/o=Corvane/ou=Staff/cn=" + name});
    }
    return rows;
}

void ExpectLedgerClean(const Ledger& ledger, long failedInitializations) {
    EXPECT_EQ(ledger.Text("objects_outstanding"), "") << "every MAPI object released";
    EXPECT_EQ(ledger.Number("buffers_outstanding"), 0) << "every MAPI buffer freed";
    EXPECT_EQ(ledger.Number("bad_frees"), 0) << "nothing freed that MAPI did not hand out";
    EXPECT_EQ(ledger.Number("initialize_calls") - failedInitializations, ledger.Number("uninitialize_calls"))
        << "initialisation balanced";
    EXPECT_EQ(ledger.Number("logons"), ledger.Number("logoffs"));
    EXPECT_LE(ledger.Number("threads"), 1) << "all MAPI calls of a run on its worker thread";
}

void ExpectSameEntries(const AddressStore& actual, const AddressStore& expected) {
    ASSERT_EQ(actual.Count(), expected.Count());
    for (uint64_t i = 0; i < expected.Count(); ++i) {
        const AddressEntry* a = actual.At(i);
        const AddressEntry* e = expected.At(i);
        ASSERT_TRUE(a && e);
        ASSERT_EQ(a->typeCode, e->typeCode) << "row " << i;
        ASSERT_EQ(a->typeText, e->typeText) << "row " << i;
        ASSERT_EQ(a->userName, e->userName) << "row " << i;
        ASSERT_EQ(a->email, e->email) << "row " << i;
        ASSERT_EQ(a->distinguishedName, e->distinguishedName) << "row " << i;
    }
}
