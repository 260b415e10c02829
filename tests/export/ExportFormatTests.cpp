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
    ExportLines(format, store).Build(*store.At(0), line);
    return WideToMultiByte(line, CP_UTF8);
}

TEST(ExportFormat, HeadersStartWithTheByteOrderMark) {
    const AddressStore store;
    EXPECT_EQ(ExportLines(ExportFormat::Pipe, store).Header(), "\xEF\xBB\xBFTYPE|USERNAME|EMAIL|DN\r\n");
    EXPECT_EQ(ExportLines(ExportFormat::Csv, store).Header(),
              "\xEF\xBB\xBFType,Username,Email Address,Distinguished Name,Kind\r\n");
    EXPECT_EQ(ExportLines(ExportFormat::Tsv, store).Header(),
              "\xEF\xBB\xBFType\tUsername\tEmail Address\tDistinguished Name\tKind\r\n");
}

// The details a store keeps follow the kind in csv and tsv, in catalogue order whatever order
// they were chosen in; the pipe format never changes.
TEST(ExportFormat, DetailsFollowTheKindInCatalogueOrder) {
    AddressStore store;
    const int phone = details::IndexOf("phone"), title = details::IndexOf("title"),
              addresses = details::IndexOf("addresses");
    ASSERT_TRUE(store.SetDetails((1ul << addresses) | (1ul << phone) | (1ul << title)));
    const std::wstring_view texts[] = {L"Boss, Big", L"", L"SMTP:a@x; smtp:=b@x"};
    NewEntry entry;
    entry.typeText = L"mailuser";
    entry.userName = L"Ann";
    entry.details = texts;
    store.Append(entry);
    const auto line = [&](ExportFormat format) {
        const ExportLines lines(format, store);
        WideString text;
        lines.Build(*store.At(0), text);
        return lines.Header() + WideToMultiByte(text, CP_UTF8);
    };
    EXPECT_EQ(line(ExportFormat::Csv),
              "\xEF\xBB\xBFType,Username,Email Address,Distinguished Name,Kind,Title,"
              "Business Phone,Proxy Addresses\r\nmailuser,Ann,,,unknown,\"Boss, Big\",,"
              "SMTP:a@x; smtp:=b@x\r\n");
    EXPECT_EQ(line(ExportFormat::Tsv),
              "\xEF\xBB\xBFType\tUsername\tEmail Address\tDistinguished Name\tKind\tTitle\t"
              "Business Phone\tProxy Addresses\r\nmailuser\tAnn\t\t\tunknown\tBoss, Big\t\t"
              "SMTP:a@x; smtp:=b@x\r\n");
    EXPECT_EQ(line(ExportFormat::Pipe), "\xEF\xBB\xBFTYPE|USERNAME|EMAIL|DN\r\nmailuser|Ann||\r\n");
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
