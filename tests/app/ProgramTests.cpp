#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <memory>
#include "buildmatch/BuildBitness.h"
#include "gui/GApplication.h"
#include "resources/ResourceIds.h"
#include "tests/support/FileDialog.h"
#include "tests/support/JobProcess.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/OtherFlavour.h"
#include "tests/support/OutlookRegistry.h"
#include "tests/support/TempFolder.h"

namespace {

const bool kIs64 = WideString(BuildBitness) == L"x64";

// The executable in the build tree's bin/, beside its sibling, as it ships.
WideString ProgramPath(bool own = true) {
    const WideString name = (kIs64 == own) ? L"Rostermint64.exe" : L"Rostermint32.exe";
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

// The real program of this flavour, driven from outside as a user would.
class Program : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(registry.Report(BuildBitness)); }
    void Start() {
        process = std::make_unique<JobProcess>(ProgramPath());
        window = WaitForProcessWindow(process->Id(), L"Mailsight license utility");
        ASSERT_TRUE(window);
    }
    WideString Status() const { return TextOf(::GetDlgItem(window, IDC_STATUS)); }
    bool Idle() const {
        HWND button = ::GetDlgItem(window, IDM_CONNECT);
        return ::IsWindowEnabled(button) && TextOf(button) == L"Connect";
    }
    void Command(WORD id) const { ::PostMessageW(window, WM_COMMAND, id, 0); }
    void Close() const { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

    OutlookRegistry registry;
    std::unique_ptr<JobProcess> process;
    HWND window = nullptr;
};

TEST_F(Program, ReadsSavesAndEndsWithCtrlW) {
    MapiScenario scenario("profile_dialog=auto\ngenerate=3000\n");
    TempFolder folder;
    const WideString saved = folder.File(L"GAL.txt");
    Start();
    Command(IDM_CONNECT);
    ASSERT_TRUE(Await([&] { return Idle() && Status() == L"Percentage complete 100%"; })) << Status();
    Command(IDM_SAVE);
    ASSERT_TRUE(AnswerExportDialog(saved, IDOK));
    ASSERT_TRUE(Await([&] { return Status() == L"Export complete."; }));
    const ByteString file = ReadFileBytes(saved);
    size_t lines = 0;
    for (char c : file)
        lines += c == '\n';
    EXPECT_EQ(lines, 3001u) << "the header and one line per entry";
    // Ctrl+W as the keyboard makes it: the character 23, which the "HOTKEYS" table takes.
    ::PostMessageW(::GetDlgItem(window, IDC_LIST), WM_CHAR, 23, 0);
    EXPECT_EQ(process->WaitForExit(), 0u);
    EXPECT_EQ(ReadLedger(scenario.LedgerPath()).Number("logoffs"), 1);
}

TEST_F(Program, CloseBoxEndsWithZero) {
    Start();
    Close();
    EXPECT_EQ(process->WaitForExit(), 0u);
}

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

TEST_F(Program, StartsTheOtherFlavourForOutlookOfTheOtherBitness) {
    if (!OtherFlavourRuns())
        GTEST_SKIP() << "this machine cannot run the other flavour";
    OutlookRegistry other;
    ASSERT_TRUE(other.Report(kIs64 ? L"x86" : L"x64"));
    process = std::make_unique<JobProcess>(ProgramPath());
    EXPECT_EQ(process->WaitForExit(), 1u);
    const std::vector<DWORD> running = process->RunningIds();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_TRUE(WaitForProcessWindow(running[0], L"Mailsight license utility"));
    const std::vector<WideString> images = process->RunningImages();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(::lstrcmpiW(images[0].c_str(), ProgramPath(false).c_str()), 0) << images[0];
}

} // namespace
