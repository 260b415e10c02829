#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <memory>
#include "buildmatch/BuildBitness.h"
#include "gui/GApplication.h"
#include "resources/ResourceIds.h"
#include "tests/support/JobProcess.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/OutlookRegistry.h"

namespace {

const bool kIs64 = WideString(BuildBitness) == L"x64";

// The executable in the build tree's bin/, beside its sibling, as it ships.
WideString ProgramPath() {
    const WideString name = kIs64 ? L"Rostermint64.exe" : L"Rostermint32.exe";
    const WideString relative = GApplication().GetModuleFolder(true) + L"..\\..\\bin\\" + name;
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// GetWindowTextW reads only the caption the system keeps for another process's window; the
// status bar and the edit box hold their texts themselves, which WM_GETTEXT asks for.
WideString TextOf(HWND window) {
    wchar_t text[512] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                          nullptr);
    return text;
}

bool Await(const std::function<bool()>& done, DWORD timeoutMs = 60000) {
    for (DWORD waited = 0; !done(); waited += 20) {
        if (waited > timeoutMs)
            return false;
        ::Sleep(20);
    }
    return true;
}

// The real program of this flavour, driven from outside, where the ledger of the MAPI
// stand-in is to be read afterwards (the end-to-end tests in tests/driver do the rest).
class Program : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(registry.Report(BuildBitness)); }
    void Start() {
        process = std::make_unique<JobProcess>(ProgramPath());
        window = WaitForProcessWindow(process->Id(), L"Mailsight license utility");
        ASSERT_TRUE(window);
    }
    WideString Status() const { return TextOf(::GetDlgItem(window, IDC_STATUS)); }
    void Command(WORD id) const { ::PostMessageW(window, WM_COMMAND, id, 0); }
    void Close() const { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

    OutlookRegistry registry;
    std::unique_ptr<JobProcess> process;
    HWND window = nullptr;
};

// Closed in the middle of a slow read: the reader stops, the session is logged off and
// MAPI uninitialised before the process ends.
TEST_F(Program, ClosingDuringAReadEndsTheSession) {
    MapiScenario scenario("profile_dialog=auto\ngenerate=100000\nquery_latency_ms=20\n");
    Start();
    Command(IDM_CONNECT);
    ASSERT_TRUE(Await([&] { return Status().rfind(L"Percentage complete", 0) == 0; }));
    Close();
    EXPECT_EQ(process->WaitForExit(), 0u);
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Number("logons"), 1);
    EXPECT_EQ(ledger.Number("logoffs"), 1);
    EXPECT_EQ(ledger.Number("uninitialize_calls"), 1);
    EXPECT_EQ(ledger.Text("objects_outstanding"), "");
}

// A reader that cannot stop (its thread waits in the profile dialog) does not keep the
// closed program alive: it ends a few seconds later, still with exit code 0.
TEST_F(Program, ClosingWhileTheReaderIsStuckStillEnds) {
    MapiScenario scenario("profile_dialog=show\n");
    Start();
    Command(IDM_CONNECT);
    ASSERT_TRUE(WaitForProcessWindow(process->Id(), L"#32770"));
    Close();
    EXPECT_EQ(process->WaitForExit(), 0u);
}

} // namespace
