#include "directory/ColumnCatalogue.h"
#include "tests/mapisim/StandIn.h"
#include "tests/support/MapiScenario.h"
#include <gtest/gtest.h>

namespace {

ULONG Tag(const char* name, bool unicode = true) {
    const int index = details::IndexOf(name);
    EXPECT_GE(index, 0) << name;
    return unicode ? details::kCatalogue[index].unicodeTag : details::kCatalogue[index].ansiTag;
}

// A value as text: UTF-8 from UTF-16, 8-bit as it came, several values joined by '|';
// "<missing>" for PT_ERROR with MAPI_E_NOT_FOUND.
std::string Show(const SPropValue& value) {
    switch (PROP_TYPE(value.ulPropTag)) {
    case PT_ERROR:
        return value.Value.err == MAPI_E_NOT_FOUND ? "<missing>" : "<other error>";
    case PT_LONG:
        return std::to_string(value.Value.l);
    case PT_UNICODE:
        return Utf8(value.Value.lpszW);
    case PT_STRING8:
        return value.Value.lpszA;
    case PT_MV_UNICODE:
    case PT_MV_STRING8: {
        std::string joined = "[";
        const bool wide = PROP_TYPE(value.ulPropTag) == PT_MV_UNICODE;
        for (ULONG i = 0; i < value.Value.MVszW.cValues; ++i) {
            joined += i ? "|" : "";
            joined += wide ? Utf8(value.Value.MVszW.lppszW[i]) : std::string(value.Value.MVszA.lppszA[i]);
        }
        return joined + "]";
    }
    default:
        return "<type " + std::to_string(PROP_TYPE(value.ulPropTag)) + ">";
    }
}

// Reads every row of the GAL with columns, each row's values shown.
std::vector<std::vector<std::string>> ReadWith(StandInLibrary& mapi, const std::vector<ULONG>& columns) {
    std::vector<std::vector<std::string>> rows;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    EXPECT_EQ(run.OpenGalTable(table), S_OK);
    if (!table)
        return rows;
    std::vector<ULONG> tags(columns.size() + 1);
    tags[0] = static_cast<ULONG>(columns.size());
    std::copy(columns.begin(), columns.end(), tags.begin() + 1);
    EXPECT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(tags.data()), TBL_BATCH), S_OK);
    for (;;) {
        LPSRowSet set = nullptr;
        if (table->QueryRows(500, 0, &set) != S_OK || set->cRows == 0) {
            mapi.FreeProws(set);
            break;
        }
        for (ULONG r = 0; r < set->cRows; ++r) {
            std::vector<std::string> row;
            for (ULONG c = 0; c < set->aRow[r].cValues; ++c)
                row.push_back(Show(set->aRow[r].lpProps[c]));
            rows.push_back(row);
        }
        mapi.FreeProws(set);
    }
    return rows;
}

TEST(MapiDetails, DirectoryFileDetailsComeInTheColumnsAskedInEitherStringType) {
    const std::string directory =
        "0\tAnn\tann@x.example\t/o=x/cn=ann\t\tcity=K\xC3\xB6ln\ttitle=Chef\\tde cuisine\t"
        "addresses=SMTP:ann@x.example;smtp:a\\;b@x.example;X500:/o=x/cn=\xCE\xA9\tcustom15=\tdepartment=!\n"
        "1\tGroup\tg@x.example\t/o=x/cn=g\t0x40000009\taddresses=\n"
        "0\tBob\tbob@x.example\t/o=x/cn=bob\n";
    MapiScenario scenario("profile_dialog=auto\n", directory);
    StandInLibrary mapi;
    const auto rows = ReadWith(mapi, {PR_DISPLAY_NAME_W, Tag("title"), Tag("addresses"), Tag("city", false),
                                      Tag("custom15"), Tag("department"), Tag("addresses", false),
                                      mapiconst::PR_DISPLAY_TYPE_EX});
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::string> ann = {
        "Ann",
        "Chef\tde cuisine",
        "[SMTP:ann@x.example|smtp:a;b@x.example|X500:/o=x/cn=\xCE\xA9]",
        "K\xF6ln", // 8-bit texts in the ANSI code page
        "",
        "<missing>",
        "[SMTP:ann@x.example|smtp:a;b@x.example|X500:/o=x/cn=O]", // best fit
        "<missing>"};
    EXPECT_EQ(rows[0], ann) << "an empty fifth field before details: no extended display type";
    EXPECT_EQ(rows[1][2], "[]") << "an empty multi-valued detail has no values";
    EXPECT_EQ(rows[1][7], std::to_string(0x40000009));
    for (size_t c = 1; c < 7; ++c)
        EXPECT_EQ(rows[2][c], "<missing>") << c;
}

} // namespace
