#include "tests/mapisim/StandIn.h"
#include "tests/support/MapiScenario.h"
#include <gtest/gtest.h>

namespace {

std::string Narrow(const WideString& text) {
    std::string bytes;
    for (wchar_t c : text)
        bytes += static_cast<char>(c < 0x80 ? c : '?');
    return bytes;
}

TEST(MapiLogon, LoadsTheStandInFromTheSystemFolderByOrdinal) {
    StandInLibrary mapi;
    ASSERT_TRUE(mapi.Loaded());
    EXPECT_TRUE(mapi.MAPILogonEx && mapi.MAPIAllocateBuffer && mapi.MAPIFreeBuffer && mapi.MAPIInitialize &&
                mapi.MAPIUninitialize && mapi.HrQueryAllRows && mapi.UlRelease && mapi.FreeProws);
}

TEST(MapiLogon, BalancedRunLeavesAnEmptyLedger) {
    MapiScenario scenario("profile_dialog=auto\nprofiles=Work,Home\n");
    {
        StandInLibrary mapi;
        GalSession run(mapi);
        ASSERT_EQ(run.Logon(), S_OK);
        ASSERT_EQ(run.OpenBook(), S_OK);
        run.Close();
        const Ledger ledger = ReadLedger(scenario.LedgerPath());
        EXPECT_EQ(ledger.Number("initialize_calls"), 1);
        EXPECT_EQ(ledger.Number("uninitialize_calls"), 1);
        EXPECT_EQ(ledger.Number("logons"), 1);
        EXPECT_EQ(ledger.Number("logoffs"), 1);
        EXPECT_EQ(ledger.Text("objects_outstanding"), "");
        EXPECT_EQ(ledger.Number("buffers_outstanding"), 0);
        EXPECT_EQ(ledger.Number("bad_frees"), 0);
        EXPECT_EQ(ledger.Number("threads"), 1);
        EXPECT_EQ(ledger.Text("profile"), "Work");
        EXPECT_EQ(ledger.Text("error"), "");
        const std::vector<std::string> expected = {"MAPIInitialize flags=0x00000001",
                                                   "MAPILogonEx flags=0x00008023",
                                                   "IMAPISession::OpenAddressBook flags=0x00000001",
                                                   "IAddrBook::Release flags=0x00000000",
                                                   "IMAPISession::Logoff flags=0x00000001",
                                                   "IMAPISession::Release flags=0x00000000",
                                                   "MAPIUninitialize flags=0x00000000"};
        EXPECT_EQ(ledger.calls, expected);
    }
}

TEST(MapiLogon, ConfiguredResultsOfInitializeAndLogon) {
    {
        MapiScenario scenario("profile_dialog=auto\ninitialize=80004005\n");
        StandInLibrary mapi;
        EXPECT_EQ(mapi.InitializeForReader(), E_FAIL);
        // A failed MAPIInitialize writes the ledger at once.
        EXPECT_EQ(ReadLedger(scenario.LedgerPath()).Number("initialize_calls"), 1);
    }
    {
        MapiScenario scenario("profile_dialog=auto\nlogon=0x80040111\n");
        StandInLibrary mapi;
        GalSession run(mapi);
        EXPECT_EQ(run.Logon(), MAPI_E_LOGON_FAILED);
        EXPECT_EQ(run.Session(), nullptr);
        run.Close();
        EXPECT_EQ(ReadLedger(scenario.LedgerPath()).Number("logons"), 0);
    }
    {
        // A warning still gives a session.
        MapiScenario scenario("profile_dialog=auto\nlogon=00040380\n");
        StandInLibrary mapi;
        GalSession run(mapi);
        EXPECT_EQ(run.Logon(), MAPI_W_ERRORS_RETURNED);
        EXPECT_NE(run.Session(), nullptr);
        run.Close();
        EXPECT_EQ(ReadLedger(scenario.LedgerPath()).Number("logons"), 1);
    }
}

TEST(MapiLogon, LogonNeedsInitializeAndKnownFlags) {
    MapiScenario scenario("profile_dialog=auto\n");
    StandInLibrary mapi;
    LPMAPISESSION session = nullptr;
    EXPECT_EQ(mapi.MAPILogonEx(0, nullptr, nullptr, kReaderLogonFlags, &session), MAPI_E_NOT_INITIALIZED);
    ASSERT_EQ(mapi.InitializeForReader(), S_OK);
    EXPECT_EQ(mapi.MAPILogonEx(0, nullptr, nullptr, kReaderLogonFlags | 0x04000000, &session),
              MAPI_E_UNKNOWN_FLAGS);
    EXPECT_EQ(session, nullptr);
    MAPIINIT_0 badVersion{1, 0};
    EXPECT_EQ(mapi.MAPIInitialize(&badVersion), MAPI_E_VERSION);
    mapi.MAPIUninitialize();
}

struct Malformed {
    const char* scenario;
    const char* directory;
    bool inDirectory;
    int line;
    const char* reason;
};

TEST(MapiLogon, MalformedScenarioOrDirectoryFailsInitializeAndNamesTheLine) {
    const Malformed cases[] = {
        {"profile_dialog=auto\ngal_count=3\n", "", false, 2, "gal_count"},
        {"# comment\n\nno equals sign\n", "", false, 3, "key=value"},
        {"colour=blue\n", "", false, 1, "unknown key"},
        {"fail=Frobnicate:80004005\n", "", false, 1, "unknown call"},
        {"fail=QueryRows\n", "", false, 1, "METHOD:HRESULT"},
        {"busy_at=0\n", "", false, 1, "from 1"},
        {"logon=xyz\n", "", false, 1, "hexadecimal"},
        {"profiles=A,,B\n", "", false, 1, "empty name"},
        {"generate=many\n", "", false, 1, "decimal"},
        {"ansi_codepage=1200\n", "", false, 1, "ANSI code page"},
        {"unicode=yes\n", "", false, 1, "unicode"},
        {"", "0\tAnn\tann@x\t/o=x\n1\tonly three\tfields\n", true, 2, "4 tab-separated fields"},
        {"", "# c\n\nzero\tAnn\tann@x\t/o=x\n", true, 3, "display type"},
        {"", "4294967296\tAnn\tann@x\t/o=x\n", true, 1, "display type"},
        {"", "0\tAnn\\q\tann@x\t/o=x\n", true, 1, "unknown escape"},
        {"", "0\tAnn\tann@x\t/o=x\t0x4000000G\n", true, 1, "extended display type"},
        {"", "0\tAnn\\x4\tann@x\t/o=x\n", true, 1, "two hexadecimal"},
        {"", "0\tAnn\tann@x\t/o=x\\\n", true, 1, "backslash"},
        {"", "0\tAnn\tann@x\t/o=x\t\tcolour=blue\n", true, 1, "not a detail"},
        {"", "0\tAnn\tann@x\t/o=x\t\ttitle\n", true, 1, "not a detail"},
        {"", "0\tAnn\tann@x\t/o=x\t\ttitle=A\tcity=B\ttitle=C\n", true, 1, "given twice"},
        {"", "0\tAnn\tann@x\t/o=x\t\taddresses=a;b\\x00c\n", true, 1, "zero byte"},
        {"", "0\tAnn\tann@x\t/o=x\t\tcity=K\\q\n", true, 1, "unknown escape"},
    };
    for (const Malformed& test : cases) {
        SCOPED_TRACE(std::string(test.scenario) + "|" + test.directory);
        MapiScenario scenario(test.scenario, test.directory);
        StandInLibrary mapi;
        EXPECT_EQ(mapi.InitializeForReader(), MAPI_E_CALL_FAILED);
        const std::string file =
            Narrow(test.inDirectory ? scenario.DirectoryPath() : scenario.ScenarioPath());
        const std::string error = ReadLedger(scenario.LedgerPath()).Text("error");
        EXPECT_EQ(error.rfind(file + ":" + std::to_string(test.line) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(test.reason), std::string::npos) << error;
    }
}

TEST(MapiLogon, MissingScenarioFileFailsInitialize) {
    StandInLibrary mapi;
    ::SetEnvironmentVariableW(L"MAPISIM_SCENARIO", L"C:\\no\\such\\scenario.txt");
    EXPECT_EQ(mapi.InitializeForReader(), MAPI_E_CALL_FAILED);
    ::SetEnvironmentVariableW(L"MAPISIM_SCENARIO", nullptr);
}

TEST(MapiLogon, EachInitializeFromUninitialisedStartsANewPeriod) {
    StandInLibrary mapi;
    LPMAPISESSION leaked = nullptr;
    {
        MapiScenario first("profile_dialog=auto\nprofiles=First\n");
        ASSERT_EQ(mapi.InitializeForReader(), S_OK);
        // Nested initialisation keeps the period.
        ASSERT_EQ(mapi.InitializeForReader(), S_OK);
        mapi.MAPIUninitialize();
        ASSERT_EQ(mapi.MAPILogonEx(0, nullptr, nullptr, kReaderLogonFlags, &leaked), S_OK);
        mapi.MAPIUninitialize();
        const Ledger ledger = ReadLedger(first.LedgerPath());
        EXPECT_EQ(ledger.Number("initialize_calls"), 2);
        EXPECT_EQ(ledger.Number("uninitialize_calls"), 2);
        EXPECT_EQ(ledger.Text("objects_outstanding"), "IMAPISession");
    }
    MapiScenario second("profile_dialog=auto\nprofiles=Second\n");
    ASSERT_EQ(mapi.InitializeForReader(), S_OK);
    GalSession run(mapi);
    mapi.MAPIUninitialize();
    Ledger ledger = ReadLedger(second.LedgerPath());
    EXPECT_EQ(ledger.Number("initialize_calls"), 1);
    EXPECT_EQ(ledger.Number("logons"), 0);
    EXPECT_EQ(ledger.calls.size(), 2u);
    // The session leaked in the first period is still outstanding.
    EXPECT_EQ(ledger.Text("objects_outstanding"), "IMAPISession");
    leaked->Release();
    mapi.Unload();
    ledger = ReadLedger(second.LedgerPath());
    EXPECT_EQ(ledger.Text("objects_outstanding"), "");
    EXPECT_EQ(ledger.calls.back(), "IMAPISession::Release flags=0x00000000");
}

} // namespace
