#include <gtest/gtest.h>
#include "export/ExportFormat.h"
#include "gui/GApplication.h"

namespace {

ByteString Line(ExportFormat format, const AddressEntry& entry) {
    WideString line;
    BuildExportLine(format, entry, line);
    return GApplication().WideToMultiByte(line, CP_UTF8);
}

AddressEntry Entry(const WideString& name, const WideString& email, const WideString& dn) {
    AddressEntry entry;
    entry.typeText = L"mailuser";
    entry.userName = name;
    entry.email = email;
    entry.distinguishedName = dn;
    entry.kind = EntryKind::Room;
    return entry;
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
