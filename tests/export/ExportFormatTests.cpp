#include <gtest/gtest.h>
#include "export/ExportFormat.h"
#include "text/TextConversion.h"

namespace {

struct Texts {
    WideString name, email, dn;
};

Texts Entry(const WideString& name, const WideString& email, const WideString& dn) {
    return {name, email, dn};
}

// One mailbox room with these texts, formatted as the store holds it.
ByteString Line(ExportFormat format, const Texts& texts) {
    AddressStore store;
    NewEntry entry;
    entry.type = EntryType::MailUser;
    entry.kind = EntryKind::Room;
    entry.typeText = L"mailuser";
    entry.userName = texts.name;
    entry.email = texts.email;
    entry.distinguishedName = texts.dn;
    store.Append(entry);
    WideString line;
    BuildExportLine(format, *store.At(0), line);
    return WideToMultiByte(line, CP_UTF8);
}

TEST(ExportFormat, HeadersStartWithTheByteOrderMark) {
    EXPECT_EQ(ExportHeader(ExportFormat::Pipe), "\xEF\xBB\xBFTYPE|USERNAME|EMAIL|DN\r\n");
    EXPECT_EQ(ExportHeader(ExportFormat::Csv),
              "\xEF\xBB\xBFType,Username,Email Address,Distinguished Name,Kind\r\n");
    EXPECT_EQ(ExportHeader(ExportFormat::Tsv),
              "\xEF\xBB\xBFType\tUsername\tEmail Address\tDistinguished Name\tKind\r\n");
}

TEST(ExportFormat, PipeWritesTheTextsAsStored) {
    EXPECT_EQ(Line(ExportFormat::Pipe, Entry(L"=a|b", L"x,\"y\"", L"l1\r\nl2")),
              "mailuser|=a|b|x,\"y\"|l1\r\nl2\r\n");
}

TEST(ExportFormat, CsvQuotesWhatNeedsItAndGuardsFormulas) {
    EXPECT_EQ(Line(ExportFormat::Csv, Entry(L"Lee, Ann", L"say \"hi\"", L"a|b")),
              "mailuser,\"Lee, Ann\",\"say \"\"hi\"\"\",a|b,room\r\n");
    EXPECT_EQ(Line(ExportFormat::Csv, Entry(L"l1\nl2", L"\rx", L"")),
              "mailuser,\"l1\nl2\",\"'\rx\",,room\r\n");
    EXPECT_EQ(Line(ExportFormat::Csv, Entry(L"=1+2", L"+x", L"-y")), "mailuser,'=1+2,'+x,'-y,room\r\n");
    EXPECT_EQ(Line(ExportFormat::Csv, Entry(L"@sum", L"=a,b", L"Zo\u00EB")),
              "mailuser,'@sum,\"'=a,b\",Zo\xC3\xAB,room\r\n");
}

TEST(ExportFormat, TsvTurnsTabsAndLineBreaksIntoSpaces) {
    EXPECT_EQ(Line(ExportFormat::Tsv, Entry(L"a\tb", L"l1\r\nl2", L"\tx")),
              "mailuser\ta b\tl1  l2\t' x\troom\r\n");
    EXPECT_EQ(Line(ExportFormat::Tsv, Entry(L"=x", L"Lee, \"Ann\"", L"")),
              "mailuser\t'=x\tLee, \"Ann\"\t\troom\r\n");
}

} // namespace
