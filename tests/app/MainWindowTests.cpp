#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <functional>
#include "app/Form_Main.h"
#include "app/Startup.h"
#include "base/StatusMessage.h"
#include "buildmatch/BuildBitness.h"
#include "resources/ResourceIds.h"
#include "tests/app/MainWindowHost.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/OutlookRegistry.h"

namespace {

const wchar_t* const kTitle = kMainWindowTitle;

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 60000) {
    for (DWORD waited = 0; !done(); waited += 10) {
        if (waited > timeoutMs)
            return false;
        PumpPending();
        ::Sleep(10);
    }
    return true;
}

// A real main window in the test process, made as start-up makes it, over the MAPI stand-in.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.Report(BuildBitness));
        window = ShowMainWindow(form);
        ASSERT_NE(window, nullptr);
        const std::vector<HWND> top = Children(window);
        ASSERT_EQ(top.size(), 6u);
        button = top[1], statusBar = top[4], listView = top[5];
        const std::vector<HWND> inGroup = Children(top[2]);
        ASSERT_EQ(inGroup.size(), 13u);
        // Each counter follows its label; the separator stands before the total's label.
        for (size_t k : {1, 3, 5, 7, 9, 12})
            counts.push_back(inGroup[k]);
    }
    void TearDown() override {
        if (::IsWindow(window))
            ::DestroyWindow(window);
        form.StopReading(INFINITE);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        ::UnregisterClassW(kTitle, ::GetModuleHandleW(nullptr));
    }

    bool Grayed(UINT id) const { return ::GetMenuState(::GetMenu(window), id, MF_BYCOMMAND) & MF_GRAYED; }
    bool Idle() const {
        return TextOf(button) == L"Connect" && ::IsWindowEnabled(button) && !Grayed(IDM_CONNECT) &&
               !Grayed(IDM_COLUMNS);
    }
    LRESULT ItemCount() const { return ::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0); }
    void Connect() { ::SendMessageW(window, WM_COMMAND, IDM_CONNECT, 0); }

    OutlookRegistry registry;
    Form_Main form;
    HWND window = nullptr, button = nullptr, statusBar = nullptr, listView = nullptr;
    std::vector<HWND> counts;
};

TEST_F(MainWindow, ReceiverAppliesAndFreesEachMessage) {
    auto waiting = std::make_shared<std::atomic<long>>(0);
    const auto ticketed = [&](const wchar_t* text) {
        auto message = std::make_unique<StatusMessage>();
        message->text = text;
        message->ticket = StatusTicket(waiting);
        return message;
    };
    ::SendMessageW(listView, LVM_SETITEMCOUNT, 5, 0);
    ASSERT_TRUE(PostStatus(window, STATUS_COUNTS, ticketed(L"ERROR: MAPIInitialize")));
    PumpPending();
    EXPECT_EQ(*waiting, 0) << "the receiver frees what it applied";
    EXPECT_EQ(TextOf(statusBar), L"ERROR: MAPIInitialize");
    for (HWND counter : counts)
        EXPECT_EQ(TextOf(counter), L"") << "counters blanked";
    EXPECT_EQ(ItemCount(), 0);

    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(PostStatus(window, STATUS_DONE, nullptr));
    PumpPending();
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Grayed(IDM_SAVE));

    // Still queued when the window goes: freed all the same.
    ASSERT_TRUE(PostStatus(window, STATUS_TEXT, ticketed(L"late")));
    ASSERT_TRUE(PostStatus(window, STATUS_USER_DN, ticketed(L"late")));
    ::DestroyWindow(window);
    EXPECT_EQ(*waiting, 0);
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the discard keeps the quit";
}

// A read that runs out of memory says so in the status bar, with the counters blank.
TEST_F(MainWindow, OutOfMemoryIsShownWithItsRemedy) {
    MapiScenario scenario("profile_dialog=auto\ngenerate=45\nfail=QueryRows:8007000E\n");
    Connect();
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(TextOf(statusBar), L"ERROR: out of memory after 0 entries. Close other programs or use the "
                                 L"64-bit flavour, then Connect again.");
    for (HWND counter : counts)
        EXPECT_EQ(TextOf(counter), L"");
}

// The previous read's thread may still be logging off when the next Connect comes: the
// window goes on at once, and the new run logs on only after the old session has ended.
TEST_F(MainWindow, ConnectDoesNotWaitForTheLastSessionToEnd) {
    MapiScenario scenario("profile_dialog=auto\ngenerate=45\nuninitialize_latency_ms=2000\n");
    Connect();
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    Connect();
    EXPECT_TRUE(ReadLedger(scenario.LedgerPath()).values.empty())
        << "the first run is still shutting MAPI down";
    // Turned away while the read runs: the Columns box would hold this call until closed.
    EXPECT_TRUE(Grayed(IDM_COLUMNS));
    ::SendMessageW(window, WM_COMMAND, IDM_COLUMNS, 0);
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(ItemCount(), 45);
    ASSERT_TRUE(form.StopReading(INFINITE));
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Number("initialize_calls"), 1) << "the second run started a period of its own";
    EXPECT_EQ(ledger.Number("logoffs"), 1);
}

TEST(Startup, EndsWithCode2WhenTheWindowCannotBeMade) {
    OutlookRegistry registry;
    ASSERT_TRUE(registry.Report(BuildBitness));
    // The class name is taken, so the program's own registration fails.
    WNDCLASSEXW taken = {};
    taken.cbSize = sizeof(taken);
    taken.lpfnWndProc = ::DefWindowProcW;
    taken.hInstance = ::GetModuleHandleW(nullptr);
    taken.lpszClassName = kTitle;
    ASSERT_TRUE(::RegisterClassExW(&taken));
    EXPECT_EQ(RunRostermint(::GetModuleHandleW(nullptr), SW_SHOWNORMAL), 2);
    ::UnregisterClassW(kTitle, ::GetModuleHandleW(nullptr));
}

} // namespace
