#include <gtest/gtest.h>
#include "tests/directory/ReaderHarness.h"

// The directory details a read asks for: in the table's columns, decoded like the other
// texts, and absent from a read that asks for none.
namespace {

const int kTitle = details::IndexOf("title"), kCity = details::IndexOf("city"),
          kAddresses = details::IndexOf("addresses"), kCustom15 = details::IndexOf("custom15");
constexpr char kDefaultColumns[] = "0x39000003,0x3001001F,0x39FE001F,0x803C001F,0x39050003,0x0FFF0102";

TEST(ReaderDetails, AreReadInOneSetColumnsAndDecodedLikeTheOtherTexts) {
    MatchingOutlook outlook;
    const std::string longValue = std::string(300, 'c') + "\xC3\xA9";
    const std::string directory =
        "0\tAnn\tann@x.example\t/o=X/cn=ann\t\ttitle=Chef\\tde cuisine\tcity=K\xC3\xB6ln\t"
        "addresses=SMTP:ann@x.example;smtp:a\\;b@x.example;X500:/o=X/cn=ann\tcustom15=\n"
        "0\tBo\tbo@x.example\t/o=X/cn=bo\t\tcustom15=" +
        longValue +
        "\n"
        "1\tList\tlist@x.example\t/o=X/cn=list\n";
    const details::DetailSet chosen =
        (1ul << kTitle) | (1ul << kCity) | (1ul << kAddresses) | (1ul << kCustom15);
    // The 8-bit forms, and a table that cuts its texts at 255 characters, give the same texts.
    for (const auto& [lines, rereads] : std::vector<std::pair<std::string, size_t>>{
             {"", 0}, {"unicode=0\n", 0}, {"truncate_columns=255\n", 1}}) {
        SCOPED_TRACE(lines);
        MapiScenario scenario("profile_dialog=auto\n" + lines, directory);
        ReaderRun run;
        ASSERT_TRUE(run.store.SetDetails(chosen));
        ASSERT_TRUE(run.Complete());
        ASSERT_EQ(run.store.Count(), 3u);
        const AddressEntry& ann = *run.store.At(0);
        EXPECT_EQ(*run.store.DetailText(ann, kTitle), L"Chef\tde cuisine");
        EXPECT_EQ(*run.store.DetailText(ann, kCity), L"K\u00F6ln");
        EXPECT_EQ(*run.store.DetailText(ann, kAddresses),
                  L"SMTP:ann@x.example; smtp:a;b@x.example; X500:/o=X/cn=ann")
            << "every value, in the directory's order";
        EXPECT_EQ(*run.store.DetailText(ann, kCustom15), L"");
        const AddressEntry& bo = *run.store.At(1);
        EXPECT_EQ(*run.store.DetailText(bo, kCustom15), WideString(300, L'c') + L"\u00E9") << "read whole";
        EXPECT_EQ(*run.store.DetailText(bo, kTitle), L"") << "missing: empty";
        EXPECT_EQ(*run.store.DetailText(*run.store.At(2), kAddresses), L"");
        const Ledger ledger = ReadLedger(scenario.LedgerPath());
        ExpectLedgerClean(ledger);
        EXPECT_EQ(ledger.CountCalls("IMailUser::GetProps"), rereads);
        if (lines.empty()) {
            EXPECT_EQ(ledger.Text("contents_columns"),
                      std::string(kDefaultColumns) + ",0x3A17001F,0x3A27001F,0x800F101F,0x8C61001F");
        }
    }
}

TEST(ReaderDetails, DefaultReadSetsExactlyTheListColumns) {
    MatchingOutlook outlook;
    MapiScenario scenario("profile_dialog=auto\n", "0\tAnn\tann@x.example\t/o=X/cn=ann\t\ttitle=Chef\n");
    ReaderRun run;
    ASSERT_TRUE(run.Complete());
    ASSERT_EQ(run.store.Count(), 1u);
    EXPECT_EQ(run.store.DetailText(*run.store.At(0), kTitle), nullptr);
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Text("contents_columns"), kDefaultColumns);
    EXPECT_EQ(ledger.CountCalls("IMAPITable::SetColumns"), 1u);
}

} // namespace
