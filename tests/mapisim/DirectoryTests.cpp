#include "tests/mapisim/StandIn.h"
#include "tests/support/MapiScenario.h"
#include <gtest/gtest.h>
#include <cstring>
#include <set>

namespace {

// A restriction of one RES_PROPERTY.
struct PropertyRestriction {
    SPropValue value{};
    SRestriction restriction{};
    PropertyRestriction(ULONG relop, ULONG tag, LONG number) {
        value.ulPropTag = tag;
        value.Value.l = number;
        restriction.rt = RES_PROPERTY;
        restriction.res.resProperty = SPropertyRestriction{relop, tag, &value};
    }
    PropertyRestriction(ULONG relop, const BYTE* bytes, ULONG size) {
        value.ulPropTag = PR_AB_PROVIDER_ID;
        value.Value.bin = SBinary{size, const_cast<LPBYTE>(bytes)};
        restriction.rt = RES_PROPERTY;
        restriction.res.resProperty = SPropertyRestriction{relop, PR_AB_PROVIDER_ID, &value};
    }
};

TEST(MapiDirectory, OnlyTheGalMatchesTheRestriction) {
    for (int galCount = 0; galCount <= 2; ++galCount) {
        SCOPED_TRACE(galCount);
        MapiScenario scenario("profile_dialog=auto\ngal_count=" + std::to_string(galCount) + "\n");
        StandInLibrary mapi;
        GalSession run(mapi);
        ASSERT_EQ(run.Logon(), S_OK);
        ASSERT_EQ(run.OpenBook(), S_OK);
        std::vector<std::string> ids;
        GalRestriction gal;
        ASSERT_EQ(run.FindContainers(gal.Get(), ids), S_OK);
        EXPECT_EQ(ids.size(), static_cast<size_t>(galCount));
        // Decoys: each half of the restriction alone lets two other containers through.
        ASSERT_EQ(run.FindContainers(nullptr, ids), S_OK);
        EXPECT_EQ(ids.size(), 4u + galCount);
        PropertyRestriction providerOnly(RELOP_EQ, mapiconst::ExchangeAddressBook,
                                         sizeof(mapiconst::ExchangeAddressBook));
        ASSERT_EQ(run.FindContainers(&providerOnly.restriction, ids), S_OK);
        EXPECT_EQ(ids.size(), 2u + galCount);
        PropertyRestriction containerIdOnly(RELOP_EQ, mapiconst::PR_EMS_AB_CONTAINERID, 0);
        ASSERT_EQ(run.FindContainers(&containerIdOnly.restriction, ids), S_OK);
        EXPECT_EQ(ids.size(), 2u + galCount);
        PropertyRestriction notZero(RELOP_NE, mapiconst::PR_EMS_AB_CONTAINERID, 0);
        SRestriction notNotZero{RES_NOT, {}};
        notNotZero.res.resNot = SNotRestriction{0, &notZero.restriction};
        ASSERT_EQ(run.FindContainers(&notNotZero, ids), S_OK);
        EXPECT_EQ(ids.size(), 2u + galCount);
    }
}

TEST(MapiDirectory, HierarchyTableShapeAndQueryAllRowsLimits) {
    MapiScenario scenario("profile_dialog=auto\n");
    StandInLibrary mapi;
    GalSession run(mapi);
    ASSERT_EQ(run.Logon(), S_OK);
    ASSERT_EQ(run.OpenBook(), S_OK);
    ULONG type = 0;
    MapiPtr<IABContainer> root;
    ASSERT_EQ(run.Book()->OpenEntry(0, nullptr, nullptr, MAPI_DEFERRED_ERRORS, &type, root.ReceiveUnknown()),
              S_OK);
    EXPECT_EQ(type, MAPI_ABCONT);
    MapiPtr<IMAPITable> topLevel;
    ASSERT_EQ(root->GetHierarchyTable(0, topLevel.Receive()), S_OK);
    ULONG count = 0;
    EXPECT_EQ(topLevel->GetRowCount(0, &count), S_OK);
    EXPECT_EQ(count, 3u); // without CONVENIENT_DEPTH only the first level
    LPSRowSet rows = nullptr;
    EXPECT_EQ(mapi.HrQueryAllRows(topLevel.Get(), nullptr, nullptr, nullptr, 2, &rows), MAPI_E_TABLE_TOO_BIG);
    EXPECT_EQ(rows, nullptr);
    SSortOrderSet sort{1, 0, 0, {{PR_DISPLAY_NAME_A, TABLE_SORT_ASCEND}}};
    EXPECT_EQ(mapi.HrQueryAllRows(topLevel.Get(), nullptr, nullptr, &sort, 0, &rows), MAPI_E_TOO_COMPLEX);
    SRestriction unsupported{RES_CONTENT, {}};
    EXPECT_EQ(mapi.HrQueryAllRows(topLevel.Get(), nullptr, &unsupported, nullptr, 0, &rows),
              MAPI_E_TOO_COMPLEX);
    EXPECT_EQ(
        mapi.HrQueryAllRows(reinterpret_cast<LPMAPITABLE>(root.Get()), nullptr, nullptr, nullptr, 0, &rows),
        MAPI_E_INVALID_PARAMETER);
    ASSERT_EQ(mapi.HrQueryAllRows(topLevel.Get(), nullptr, nullptr, nullptr, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 3u);
    std::set<std::string> names;
    for (ULONG i = 0; i < rows->cRows; ++i) {
        for (ULONG j = 0; j < rows->aRow[i].cValues; ++j) {
            const SPropValue& value = rows->aRow[i].lpProps[j];
            if (value.ulPropTag == PR_DISPLAY_NAME_A)
                names.insert(value.Value.lpszA);
            if (value.ulPropTag == PR_DEPTH) {
                EXPECT_EQ(value.Value.l, 0);
            }
        }
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"Outlook Address Book", "All Address Lists", "Global Address List"}));
    mapi.FreeProws(rows);
    MapiPtr<IMAPITable> contents;
    EXPECT_EQ(root->GetContentsTable(0, contents.Receive()), MAPI_E_NO_SUPPORT);
}

TEST(MapiDirectory, OpenEntryFlagsAndIdentifiers) {
    MapiScenario scenario("profile_dialog=auto\nreject_no_cache=1\n");
    StandInLibrary mapi;
    GalSession run(mapi);
    ASSERT_EQ(run.Logon(), S_OK);
    ASSERT_EQ(run.OpenBook(), S_OK);
    std::vector<std::string> ids;
    GalRestriction gal;
    ASSERT_EQ(run.FindContainers(gal.Get(), ids), S_OK);
    ASSERT_EQ(ids.size(), 1u);
    MapiPtr<IABContainer> container;
    const ULONG withNoCache = MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS | mapiconst::MAPI_NO_CACHE;
    EXPECT_EQ(run.OpenContainer(ids[0], withNoCache, container), MAPI_E_UNKNOWN_FLAGS);
    EXPECT_EQ(container.Get(), nullptr);
    EXPECT_EQ(run.OpenContainer(ids[0], 0x00100000, container), MAPI_E_UNKNOWN_FLAGS);
    std::string wrong = ids[0];
    wrong.back() ^= 1;
    EXPECT_EQ(run.OpenContainer(wrong, MAPI_BEST_ACCESS, container), MAPI_E_UNKNOWN_ENTRYID);
    EXPECT_EQ(run.OpenContainer(ids[0].substr(0, 20), MAPI_BEST_ACCESS, container), MAPI_E_UNKNOWN_ENTRYID);
    ASSERT_EQ(run.OpenContainer(ids[0], MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS, container), S_OK);
    // The container answers for the interfaces it has, and nothing else.
    MapiPtr<IMAPIContainer> asContainer;
    const IID mapiContainer = {0x0002030B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(container->QueryInterface(mapiContainer, reinterpret_cast<void**>(asContainer.Receive())),
              S_OK);
    MapiPtr<IUnknown> asTable;
    const IID mapiTable = {0x00020301, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(container->QueryInterface(mapiTable, reinterpret_cast<void**>(asTable.Receive())),
              MAPI_E_INTERFACE_NOT_SUPPORTED);
    ULONG pabSize = 0;
    LPENTRYID pab = nullptr;
    EXPECT_EQ(run.Book()->GetPAB(&pabSize, &pab), MAPI_E_NO_SUPPORT);
    container.Release();
    asContainer.Release();
    run.Close();
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.CountCalls("IAddrBook::GetPAB"), 1u);
    EXPECT_EQ(ledger.Text("objects_outstanding"), "");
}

TEST(MapiDirectory, WrongContainerServesOtherEntries) {
    MapiScenario scenario("profile_dialog=auto\n", SixtyEntries());
    StandInLibrary mapi;
    GalSession run(mapi);
    ASSERT_EQ(run.Logon(), S_OK);
    ASSERT_EQ(run.OpenBook(), S_OK);
    std::vector<std::string> ids;
    ASSERT_EQ(run.FindContainers(nullptr, ids), S_OK);
    size_t galTables = 0;
    for (const std::string& id : ids) {
        MapiPtr<IABContainer> container;
        ASSERT_EQ(run.OpenContainer(id, MAPI_BEST_ACCESS, container), S_OK);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(container->GetContentsTable(MAPI_DEFERRED_ERRORS, table.Receive()), S_OK);
        ASSERT_EQ(table->SetColumns(ReaderColumns(), 0), S_OK);
        std::vector<RowValues> rows;
        ASSERT_EQ(run.ReadAll(table.Get(), rows), S_OK);
        if (rows.size() == 60) {
            ++galTables;
            continue;
        }
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0].name.rfind("Not in the GAL", 0), 0u) << rows[0].name;
    }
    EXPECT_EQ(galTables, 1u);
}

TEST(MapiDirectory, DirectoryFileFieldsEscapesAndMissingValues) {
    const std::string directory = "# kind\tname\tsmtp\tdn\n"
                                  "\n"
                                  "0\tAnn Lee\tann@x.example\t/o=x/cn=ann\t0x40000007\r\n"
                                  "!\t!\t!\t!\t!\n"
                                  "-1\tTab\\there\\\\back\\!bang\t\\!\t\\x41\\xff\\xFE\n"
                                  "4294967295\tZo\xC3\xAB\t\t/o=x/cn=line\\nbreak\\rreturn\t-9\n"
                                  "6\t!\tremote@y.example\t!\n";
    MapiScenario scenario("profile_dialog=auto\n", directory);
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    std::vector<RowValues> rows;
    ASSERT_EQ(run.ReadAll(table.Get(), rows), S_OK);
    ASSERT_EQ(rows.size(), 5u); // a directory file and no generate= gives no generated entries
    EXPECT_TRUE(rows[0].hasType && rows[0].type == 0 && rows[0].name == "Ann Lee" &&
                rows[0].smtp == "ann@x.example" && rows[0].dn == "/o=x/cn=ann");
    EXPECT_TRUE(rows[0].hasTypeEx && rows[0].typeEx == 0x40000007);
    EXPECT_FALSE(rows[1].hasType || rows[1].hasName || rows[1].hasSmtp || rows[1].hasDn || rows[1].hasTypeEx);
    EXPECT_EQ(rows[2].type, -1);
    EXPECT_FALSE(rows[2].hasTypeEx) << "four fields: no extended display type";
    EXPECT_EQ(rows[2].name, "Tab\there\\back!bang");
    EXPECT_EQ(rows[2].smtp, "!");
    EXPECT_EQ(rows[2].dn, "A\xEF\xBF\xBD\xEF\xBF\xBD") << "invalid UTF-8 is served as U+FFFD";
    EXPECT_EQ(rows[3].typeEx, -9);
    EXPECT_EQ(static_cast<unsigned long>(rows[3].type), 4294967295ul);
    EXPECT_EQ(rows[3].name, "Zo\xC3\xAB");
    EXPECT_TRUE(rows[3].hasSmtp);
    EXPECT_EQ(rows[3].smtp, "");
    EXPECT_EQ(rows[3].dn, "/o=x/cn=line\nbreak\rreturn");
    EXPECT_TRUE(rows[4].hasType && rows[4].type == 6 && !rows[4].hasName && rows[4].hasSmtp &&
                !rows[4].hasDn);
}

TEST(MapiDirectory, ColumnsComeInTheOrderAskedWithUnknownTagsMissing) {
    MapiScenario scenario("profile_dialog=auto\n", "3\tBot\tbot@x.example\t/o=x/cn=bot\n");
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    SizedSPropTagArray(4, reversed) = {4,
                                       {mapiconst::PR_EMS_AB_OBJ_DIST_NAME_A, PROP_TAG(PT_STRING8, 0x6001),
                                        PR_DISPLAY_NAME_A, PR_DISPLAY_TYPE}};
    ASSERT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&reversed), TBL_BATCH), S_OK);
    LPSRowSet rows = nullptr;
    ASSERT_EQ(table->QueryRows(25, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 1u);
    const SPropValue* values = rows->aRow[0].lpProps;
    ASSERT_EQ(rows->aRow[0].cValues, 4u);
    EXPECT_EQ(values[0].ulPropTag, mapiconst::PR_EMS_AB_OBJ_DIST_NAME_A);
    EXPECT_STREQ(values[0].Value.lpszA, "/o=x/cn=bot");
    EXPECT_EQ(values[1].ulPropTag, PROP_TAG(PT_ERROR, 0x6001));
    EXPECT_EQ(values[1].Value.err, MAPI_E_NOT_FOUND);
    EXPECT_STREQ(values[2].Value.lpszA, "Bot");
    EXPECT_EQ(values[3].ulPropTag, PR_DISPLAY_TYPE);
    EXPECT_EQ(values[3].Value.l, 3);
    mapi.FreeProws(rows);
    EXPECT_EQ(table->SetColumns(nullptr, 0), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(table->SetColumns(ReaderColumns(), 0x10), MAPI_E_UNKNOWN_FLAGS);
}

TEST(MapiDirectory, CursorBatchesAndEndOfTable) {
    MapiScenario scenario("profile_dialog=auto\n", SixtyEntries());
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    ULONG count = 0;
    ASSERT_EQ(table->GetRowCount(0, &count), S_OK);
    EXPECT_EQ(count, 60u);
    auto query = [&](LONG asked, ULONG flags, std::string* firstName) {
        LPSRowSet rows = nullptr;
        EXPECT_EQ(table->QueryRows(asked, flags, &rows), S_OK);
        if (!rows)
            return ~0ul;
        const ULONG served = rows->cRows;
        if (firstName && served > 0)
            *firstName = ReadRow(rows->aRow[0]).name;
        mapi.FreeProws(rows);
        return served;
    };
    std::string first;
    EXPECT_EQ(query(25, TBL_NOADVANCE, &first), 25u);
    EXPECT_EQ(first, "User 0");
    EXPECT_EQ(query(25, 0, &first), 25u);
    EXPECT_EQ(first, "User 0");
    EXPECT_EQ(query(25, 0, &first), 25u);
    EXPECT_EQ(first, "User 25");
    EXPECT_EQ(query(25, 0, &first), 10u);
    EXPECT_EQ(first, "User 50");
    EXPECT_EQ(query(25, 0, nullptr), 0u);
    EXPECT_EQ(query(25, 0, nullptr), 0u);
    // A fresh table starts at the top and can be read in one go.
    MapiPtr<IMAPITable> again;
    GalSession second(mapi);
    ASSERT_EQ(second.OpenGalTable(again), S_OK);
    std::vector<RowValues> rows;
    ASSERT_EQ(second.ReadAll(again.Get(), rows, 1000), S_OK);
    EXPECT_EQ(rows.size(), 60u);
}

TEST(MapiDirectory, GeneratedEntriesAreVariedAndDeterministic) {
    const char* lines = "profile_dialog=auto\ngenerate=3000\n";
    std::vector<RowValues> first, second;
    for (std::vector<RowValues>* rows : {&first, &second}) {
        MapiScenario scenario(lines);
        StandInLibrary mapi;
        GalSession run(mapi);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(run.OpenGalTable(table), S_OK);
        ASSERT_EQ(run.ReadAll(table.Get(), *rows, 500), S_OK);
    }
    ASSERT_EQ(first.size(), 3000u);
    std::map<long, int> kinds;
    int missingType = 0, missingSmtp = 0, nonAscii = 0, beyondBmp = 0, cjk = 0;
    std::map<long, int> detailed; // display type * 100 + the extended type's low byte
    for (size_t i = 0; i < first.size(); ++i) {
        const RowValues& a = first[i];
        const RowValues& b = second[i];
        ASSERT_TRUE(a.hasType == b.hasType && a.type == b.type && a.name == b.name && a.smtp == b.smtp &&
                    a.dn == b.dn)
            << i;
        if (a.hasType)
            ++kinds[a.type];
        else
            ++missingType;
        missingSmtp += a.hasSmtp ? 0 : 1;
        detailed[a.hasTypeEx ? a.type * 100 + (a.typeEx & 0xFF) : -1] += 1;
        for (unsigned char c : a.name) {
            nonAscii += c >= 0x80 ? 1 : 0;
            beyondBmp += c >= 0xF0 ? 1 : 0;
            cjk += (c >= 0xE3 && c <= 0xE9) ? 1 : 0;
        }
    }
    for (long kind : {0L, 1L, 2L, 3L, 6L})
        EXPECT_GT(kinds[kind], 0) << kind;
    EXPECT_GT(kinds[0], 2400);   // mostly mail users
    EXPECT_GT(kinds.size(), 6u); // and some kinds the program does not know
    EXPECT_GT(missingType, 0);
    EXPECT_GT(missingSmtp, 0);
    EXPECT_LT(missingSmtp, 300);
    EXPECT_GT(nonAscii, 0);
    EXPECT_GT(beyondBmp, 0);
    EXPECT_GT(cjk, 0);
    // Rooms, equipment and security groups in plausible shares; a few entries lack the value.
    EXPECT_TRUE(detailed[7] > 20 && detailed[7] < 120) << detailed[7];
    EXPECT_TRUE(detailed[8] > 3 && detailed[8] < 50) << detailed[8];
    EXPECT_TRUE(detailed[109] > 20 && detailed[109] < kinds[1]) << detailed[109];
    EXPECT_TRUE(detailed[-1] > 0 && detailed[-1] < 200) << detailed[-1];
}

// Texts as real MAPI hands them out: UTF-16 for PT_UNICODE, the ANSI code page's bytes for
// PT_STRING8 (never UTF-8), and a provider without UTF-16 refuses PT_UNICODE columns.
TEST(MapiDirectory, TextsComeAsUtf16OrInTheAnsiCodePage) {
    const std::string name = "Zo\xC3\xAB \xCE\xA9mega \xE6\x9D\x8E \xF0\x9F\x98\x80"; // Zoë Ωmega 李 U+1F600
    const std::string line = "0\t" + name + "\tz@x.example\t/o=x/cn=zo\xC3\xAB\n";
    const struct {
        const char* scenario;
        bool unicode;
        std::string name;
    } cases[] = {
        {"", true, name},
        // Windows-1252 by default; characters a code page lacks become its best fit or '?'.
        {"", false, "Zo\xEB Omega ? ??"},
        {"ansi_codepage=1253\n", false, "Zoe \xD9mega ? ??"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.scenario) + (test.unicode ? "unicode" : "8-bit"));
        MapiScenario scenario(std::string("profile_dialog=auto\n") + test.scenario, line);
        StandInLibrary mapi;
        GalSession run(mapi);
        MapiPtr<IMAPITable> table;
        ASSERT_EQ(run.OpenGalTable(table), S_OK);
        ASSERT_EQ(table->SetColumns(ReaderColumns(test.unicode), TBL_BATCH), S_OK);
        std::vector<RowValues> rows;
        ASSERT_EQ(run.ReadAll(table.Get(), rows), S_OK);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].name, test.name);
        EXPECT_EQ(rows[0].smtp, "z@x.example");
    }
    for (bool refuses : {true, false}) {
        SCOPED_TRACE(refuses);
        MapiScenario scenario(refuses ? "profile_dialog=auto\nunicode=0\n" : "profile_dialog=auto\n", line);
        StandInLibrary mapi;
        GalSession run(mapi);
        MapiPtr<IMAPITable> table; // its UTF-16 columns are refused, or set
        EXPECT_EQ(run.OpenGalTable(table), refuses ? MAPI_E_BAD_CHARWIDTH : S_OK);
        LPSRowSet all = nullptr;
        EXPECT_EQ(mapi.HrQueryAllRows(table.Get(), ReaderColumns(true), nullptr, nullptr, 0, &all),
                  refuses ? MAPI_E_BAD_CHARWIDTH : S_OK);
        mapi.FreeProws(all);
    }
}

TEST(MapiDirectory, GeneratedEntriesFollowTheFileEntries) {
    MapiScenario scenario("profile_dialog=auto\ngenerate=5\n", "1\tList\tlist@x.example\t/o=x/cn=list\n");
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    std::vector<RowValues> rows;
    ASSERT_EQ(run.ReadAll(table.Get(), rows), S_OK);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].name, "List");
    EXPECT_NE(rows[1].name, "List");
}

TEST(MapiDirectory, ProfileSectionGivesTheUserOrAMissingValue) {
    struct Case {
        const char* scenario;
        HRESULT result;
        const char* user;
    };
    const Case cases[] = {
        {"profile_dialog=auto\nprofile_user=/o=Org/cn=Recipients/cn=jdoe\n", S_OK,
         "/o=Org/cn=Recipients/cn=jdoe"},
        {"profile_dialog=auto\nprofile_user=/o=\\xC3\\xA9\\!\n", S_OK, "/o=\xE9!"}, // 8-bit: Windows-1252
        {"profile_dialog=auto\nprofile_user=!\n", MAPI_W_ERRORS_RETURNED, nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.scenario);
        MapiScenario scenario(test.scenario);
        StandInLibrary mapi;
        GalSession run(mapi);
        ASSERT_EQ(run.Logon(), S_OK);
        MapiPtr<IMsgServiceAdmin> admin;
        ASSERT_EQ(run.Session()->AdminServices(0, admin.Receive()), S_OK);
        MapiPtr<IProfSect> section;
        MAPIUID other = {{1, 2, 3}};
        EXPECT_EQ(admin->OpenProfileSection(&other, nullptr, MAPI_DEFERRED_ERRORS, section.Receive()),
                  MAPI_E_NOT_FOUND);
        MAPIUID global;
        memcpy(global.ab, mapiconst::GlobalProfileSection, sizeof(global.ab));
        ASSERT_EQ(admin->OpenProfileSection(&global, nullptr, MAPI_DEFERRED_ERRORS, section.Receive()), S_OK);
        SizedSPropTagArray(1, tags) = {1, {mapiconst::PR_PROFILE_USER}};
        ULONG count = 0;
        LPSPropValue values = nullptr;
        ASSERT_EQ(section->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, &values),
                  test.result);
        ASSERT_EQ(count, 1u);
        if (test.user) {
            EXPECT_EQ(values[0].ulPropTag, mapiconst::PR_PROFILE_USER);
            EXPECT_STREQ(values[0].Value.lpszA, test.user);
        } else {
            EXPECT_EQ(values[0].ulPropTag, PROP_TAG(PT_ERROR, 0x6603));
            EXPECT_EQ(values[0].Value.err, MAPI_E_NOT_FOUND);
        }
        // The value array is one buffer of the caller's until freed.
        mapi.MAPIUninitialize();
        EXPECT_EQ(ReadLedger(scenario.LedgerPath()).Number("buffers_outstanding"), 1);
        mapi.InitializeForReader();
        EXPECT_EQ(mapi.MAPIFreeBuffer(values), 0u);
    }
}

} // namespace
