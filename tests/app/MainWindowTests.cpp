#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <functional>
#include <thread>
#include "app/Form_Main.h"
#include "app/Startup.h"
#include "app/StatusMessage.h"
#include "buildmatch/BuildBitness.h"
#include "resources/ResourceIds.h"
#include "tests/gui/TestHost.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/OutlookRegistry.h"

namespace {

const wchar_t kTitle[] = L"Mailsight license utility";

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        all.push_back(child);
    return all;
}

WideString TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 60000) {
    for (DWORD waited = 0; !done(); waited += 10) {
        if (waited > timeoutMs)
            return false;
        PumpPending();
        ::Sleep(10);
    }
    return true;
}

// 30 mail users, 5 distribution lists, 4 forums, 3 agents, 2 remote users, 1 unknown.
std::string Directory() {
    const std::pair<const char*, int> kinds[] = {{"0", 30}, {"1", 5}, {"2", 4}, {"3", 3}, {"6", 2}, {"5", 1}};
    std::string text;
    int n = 0;
    for (const auto& kind : kinds)
        for (int i = 0; i < kind.second; ++i, ++n)
            text += std::string(kind.first) + "\tName " + std::to_string(n) + "\tn" + std::to_string(n) +
                    "@corvane.example\t/o=Corvane/cn=n" + std::to_string(n) + "\n";
    return text;
}
const wchar_t* const kDirectoryCounts[] = {L"30", L"5", L"4", L"3", L"2", L"45"};

// A user at the keyboard, on a second thread, while the test thread runs the window's own
// message loop: its input goes to the window's thread, focus included.
class KeyboardUser {
public:
    KeyboardUser(HWND window, std::function<void(KeyboardUser&)> script)
        : window(window), thread([this, script] {
              ::AttachThreadInput(::GetCurrentThreadId(), ::GetWindowThreadProcessId(this->window, nullptr),
                                  TRUE);
              ::SetForegroundWindow(this->window);
              script(*this);
          }) {}
    ~KeyboardUser() { thread.join(); }
    void Focus(HWND control) { ::SetFocus(control); }
    void Press(WORD key, bool control = false) {
        std::vector<INPUT> input;
        const auto add = [&](WORD vk, DWORD flags) {
            INPUT one = {};
            one.type = INPUT_KEYBOARD;
            one.ki.wVk = vk;
            one.ki.dwFlags = flags;
            input.push_back(one);
        };
        if (control)
            add(VK_CONTROL, 0);
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
        if (control)
            add(VK_CONTROL, KEYEVENTF_KEYUP);
        ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    }
    bool Await(const std::function<bool()>& done) {
        for (int i = 0; i < 3000 && !done(); ++i)
            ::Sleep(10);
        return done();
    }

private:
    HWND window;
    std::thread thread;
};

// A real main window in the test process, made as start-up makes it, over the MAPI stand-in.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.Report(BuildBitness));
        WindowSettings settings;
        settings.instance = ::GetModuleHandleW(nullptr);
        settings.title = kTitle;
        ASSERT_TRUE(form.Create(settings));
        form.SetShowState(SW_SHOWNORMAL);
        PumpPending();
        window = form.Window();
        const std::vector<HWND> top = Children(window);
        ASSERT_EQ(top.size(), 6u);
        intro = top[0], button = top[1], group = top[2], dnEdit = top[3], statusBar = top[4],
        listView = top[5];
        const std::vector<HWND> inGroup = Children(group);
        ASSERT_EQ(inGroup.size(), 13u);
        labels.assign(inGroup.begin(), inGroup.begin() + 7);
        counts.assign(inGroup.begin() + 7, inGroup.end());
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
        return TextOf(button) == L"Connect" && ::IsWindowEnabled(button) && !Grayed(IDM_CONNECT);
    }
    LRESULT ItemCount() const { return ::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0); }
    void Connect() { ::SendMessageW(window, WM_COMMAND, IDM_CONNECT, 0); }
    void ExpectCounts(const wchar_t* const expected[6]) {
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(TextOf(counts[k]), expected[k]) << "counter " << k;
    }

    OutlookRegistry registry;
    Form_Main form;
    HWND window = nullptr, intro = nullptr, button = nullptr, group = nullptr, dnEdit = nullptr,
         statusBar = nullptr, listView = nullptr;
    std::vector<HWND> labels, counts; // labels[5] is the separator
};

TEST_F(MainWindow, LayoutFollowsTheWindow) {
    for (int k = 0; k < 5; ++k) {
        const RECT label = RectInParent(labels[k]), count = RectInParent(counts[k]);
        EXPECT_EQ(count.left, 256);
        EXPECT_EQ(count.right - count.left, 60);
        EXPECT_EQ(count.top, label.top) << "counter " << k << " level with its label";
    }
    const auto expectLaidOut = [&] {
        RECT client = {}, dn = {};
        ::GetClientRect(window, &client);
        ::GetClientRect(dnEdit, &dn);
        // N is the column's cursor below the DN box: its top plus its client height.
        const RECT list = RectInParent(listView);
        EXPECT_EQ(list.top, RectInParent(dnEdit).top + dn.bottom + 8);
        EXPECT_EQ(list.left, 0);
        EXPECT_EQ(list.right, client.right);
        // Down to the status bar, which stands above it and covers the list's lower border.
        EXPECT_EQ(list.bottom, RectInParent(statusBar).top + 2);
        for (HWND wide : {intro, group, dnEdit}) {
            const RECT r = RectInParent(wide);
            EXPECT_EQ(r.right - r.left, client.right - 16);
        }
    };
    expectLaidOut();
    ::SetWindowPos(window, nullptr, 0, 0, 820, 700, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    expectLaidOut();

    RECT before = {}, minimised = {};
    ::GetClientRect(listView, &before);
    ::ShowWindow(window, SW_MINIMIZE);
    PumpPending();
    ::GetClientRect(listView, &minimised);
    EXPECT_TRUE(::EqualRect(&before, &minimised)) << "a minimise does not lay out";
    ::ShowWindow(window, SW_RESTORE);
    PumpPending();
    expectLaidOut();
}

TEST_F(MainWindow, ConnectReadsTheDirectoryAndComesBackIdle) {
    MapiScenario scenario("profile_dialog=auto\nprofile_user=/o=Corvane/cn=ann\nquery_latency_ms=150\n",
                          Directory());
    EXPECT_TRUE(Grayed(IDM_SAVE));
    Connect();
    EXPECT_EQ(TextOf(button), L"Running");
    EXPECT_FALSE(::IsWindowEnabled(button));
    EXPECT_TRUE(Grayed(IDM_CONNECT));
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_FALSE(Grayed(IDM_SAVE));
    ExpectCounts(kDirectoryCounts);
    EXPECT_EQ(TextOf(dnEdit), L"LegacyExchangeDN: /o=Corvane/cn=ann");
    EXPECT_EQ(TextOf(statusBar), L"Percentage complete 100%");
    ASSERT_EQ(ItemCount(), 45);
    wchar_t name[64] = {};
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = name;
    item.cchTextMax = 64;
    ::SendMessageW(listView, LVM_GETITEMTEXTW, 44, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(name, L"Name 44");

    // A second read: the list empties at once, the rest stays until the reader reports.
    Connect();
    EXPECT_EQ(ItemCount(), 0);
    ExpectCounts(kDirectoryCounts);
    EXPECT_EQ(TextOf(dnEdit), L"LegacyExchangeDN: /o=Corvane/cn=ann");
    EXPECT_EQ(TextOf(statusBar), L"Percentage complete 100%");
    EXPECT_FALSE(Grayed(IDM_SAVE)) << "Save stays enabled during later reads";
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(ItemCount(), 45);
    ASSERT_TRUE(form.StopReading(INFINITE));
    const Ledger ledger = ReadLedger(scenario.LedgerPath());
    EXPECT_EQ(ledger.Number("logons"), 1) << "this period's";
    EXPECT_EQ(ledger.Number("logoffs"), 1);
    EXPECT_EQ(ledger.Text("objects_outstanding"), "");
}

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
    const wchar_t* const blank[] = {L"", L"", L"", L"", L"", L""};
    ExpectCounts(blank);
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

TEST_F(MainWindow, EnterStartsAReadOnlyWhileTheButtonIsEnabled) {
    MapiScenario scenario("profile_dialog=auto\nquery_latency_ms=300\n", Directory());
    {
        KeyboardUser user(window, [&](KeyboardUser& u) {
            u.Focus(window);
            u.Press(VK_RETURN);
            EXPECT_TRUE(u.Await([&] { return ItemCount() >= 25; }));
            // The button is disabled: a Connect now would empty the list.
            u.Press(VK_RETURN);
            ::Sleep(300);
            EXPECT_GE(ItemCount(), 25);
            EXPECT_TRUE(u.Await([&] { return ::IsWindowEnabled(button) != FALSE; }));
            u.Press(VK_RETURN);
            EXPECT_TRUE(u.Await([&] { return !::IsWindowEnabled(button); }));
            EXPECT_TRUE(u.Await([&] { return ::IsWindowEnabled(button) != FALSE; }));
            u.Press('W', true);
        });
        EXPECT_EQ(form.RunMessageLoop(), 0);
    }
    EXPECT_EQ(ItemCount(), 45);
}

TEST_F(MainWindow, HotkeysWorkWhicheverControlHasTheFocus) {
    for (HWND target : {listView, dnEdit, button}) {
        SCOPED_TRACE(testing::Message() << "focus on control " << ::GetDlgCtrlID(target));
        {
            KeyboardUser user(window, [&](KeyboardUser& u) {
                u.Focus(target);
                u.Press(VK_F11);
                EXPECT_TRUE(u.Await([&] { return ::IsZoomed(window) != FALSE; }));
                u.Press(VK_F11);
                EXPECT_TRUE(u.Await([&] { return !::IsZoomed(window); }));
                u.Press(VK_F1);
                HWND about = nullptr;
                EXPECT_TRUE(u.Await([&] { return (about = ::FindWindowW(L"#32770", L"About")) != nullptr; }));
                u.Press(VK_ESCAPE);
                EXPECT_TRUE(u.Await([&] { return !::IsWindow(about); }));
                u.Press('W', true);
            });
            EXPECT_EQ(form.RunMessageLoop(), 0);
        }
        EXPECT_TRUE(::IsWindow(window)) << "Ctrl+W ends the loop without closing the window";
    }
}

// The previous read's thread may still be logging off when the next Connect comes: the
// window goes on at once, and the new run logs on only after the old session has ended.
TEST_F(MainWindow, ConnectDoesNotWaitForTheLastSessionToEnd) {
    MapiScenario scenario("profile_dialog=auto\nuninitialize_latency_ms=2000\n", Directory());
    Connect();
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    Connect();
    EXPECT_TRUE(ReadLedger(scenario.LedgerPath()).values.empty())
        << "the first run is still shutting MAPI down";
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    ExpectCounts(kDirectoryCounts);
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
