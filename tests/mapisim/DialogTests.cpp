#include "tests/mapisim/StandIn.h"
#include "tests/support/MapiScenario.h"
#include <gtest/gtest.h>
#include <functional>
#include <thread>

namespace {

// Plays the user of the "Choose Profile" dialog from a second thread: waits for the
// window, notes what it shows, then acts on it. A dialog still up afterwards is closed,
// so a test fails instead of hanging.
class DialogUser {
public:
    using Action = std::function<void(HWND dialog, HWND combo)>;
    DialogUser(Action act, DWORD waitMs = 10000) : thread([this, act, waitMs] { Run(act, waitMs); }) {}
    ~DialogUser() { Join(); }
    void Join() {
        if (thread.joinable())
            thread.join();
    }

    bool found = false;
    bool topLevel = false;
    bool okIsDefault = false;
    std::vector<std::wstring> items;
    std::wstring selected;

private:
    void Run(const Action& act, DWORD waitMs) {
        HWND dialog = nullptr;
        for (DWORD waited = 0; !dialog && waited < waitMs; waited += 20) {
            dialog = ::FindWindowW(L"#32770", L"Choose Profile");
            if (!dialog || !::IsWindowVisible(dialog)) {
                dialog = nullptr;
                ::Sleep(20);
            }
        }
        if (!dialog)
            return;
        found = true;
        topLevel = ::GetParent(dialog) == nullptr && ::GetWindow(dialog, GW_OWNER) == nullptr;
        okIsDefault = LOWORD(::SendMessageW(dialog, DM_GETDEFID, 0, 0)) == IDOK;
        const HWND combo = ::FindWindowExW(dialog, nullptr, L"ComboBox", nullptr);
        const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        act(dialog, combo);
        for (int i = 0; i < 250 && ::IsWindow(dialog); ++i)
            ::Sleep(20);
        if (::IsWindow(dialog))
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    std::thread thread;
};

void PressKey(HWND window, WPARAM key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

void ClickButton(HWND dialog, const wchar_t* text) {
    ::PostMessageW(::FindWindowExW(dialog, nullptr, L"Button", text), BM_CLICK, 0, 0);
}

// Logs on with flags and returns the result; profile gets the ledger's profile.
HRESULT LogonThroughDialog(const MapiScenario& scenario, ULONG flags, std::string& profile) {
    StandInLibrary mapi;
    GalSession run(mapi);
    const HRESULT result = run.Logon(flags);
    run.Close();
    profile = ReadLedger(scenario.LedgerPath()).Text("profile");
    return result;
}

TEST(MapiProfileDialog, KeyboardPicksAnotherProfile) {
    MapiScenario scenario("profiles=Alpha,Beta,Gamma\nprofile_dialog=show\n");
    DialogUser user([](HWND, HWND combo) {
        PressKey(combo, VK_DOWN);
        PressKey(combo, VK_RETURN);
    });
    std::string profile;
    EXPECT_EQ(LogonThroughDialog(scenario, kReaderLogonFlags, profile), S_OK);
    user.Join();
    ASSERT_TRUE(user.found);
    EXPECT_TRUE(user.topLevel);
    EXPECT_TRUE(user.okIsDefault);
    EXPECT_EQ(user.items, (std::vector<std::wstring>{L"Alpha", L"Beta", L"Gamma"}));
    EXPECT_EQ(profile, "Beta");
}

TEST(MapiProfileDialog, EscapeAndCancelButtonCancel) {
    MapiScenario scenario("profiles=Alpha,Beta\n");
    const std::function<void(HWND, HWND)> actions[] = {
        [](HWND, HWND combo) { PressKey(combo, VK_ESCAPE); },
        [](HWND dialog, HWND) { ClickButton(dialog, L"Cancel"); },
    };
    for (const auto& action : actions) {
        DialogUser user(action);
        std::string profile;
        EXPECT_EQ(LogonThroughDialog(scenario, kReaderLogonFlags, profile), MAPI_E_USER_CANCEL);
        user.Join();
        EXPECT_TRUE(user.found);
        EXPECT_EQ(ReadLedger(scenario.LedgerPath()).Number("logons"), 0);
    }
}

TEST(MapiProfileDialog, OkButtonTakesTheSelection) {
    MapiScenario scenario("profiles=Alpha,Beta,Gamma\nprofile_dialog=show\n");
    DialogUser user([](HWND dialog, HWND combo) {
        ::SendMessageW(combo, CB_SETCURSEL, 2, 0);
        ClickButton(dialog, L"OK");
    });
    std::string profile;
    EXPECT_EQ(LogonThroughDialog(scenario, kReaderLogonFlags, profile), S_OK);
    user.Join();
    EXPECT_EQ(profile, "Gamma");
}

TEST(MapiProfileDialog, NoWindowWithoutLogonUiOrInAutoAndCancelModes) {
    struct Case {
        const char* scenario;
        ULONG flags;
        HRESULT result;
    };
    const Case cases[] = {
        {"profiles=Alpha,Beta\nprofile_dialog=show\n", MAPI_EXTENDED | MAPI_NEW_SESSION, S_OK},
        {"profiles=Alpha,Beta\nprofile_dialog=auto\n", kReaderLogonFlags, S_OK},
        {"profiles=Alpha,Beta\nprofile_dialog=cancel\n", kReaderLogonFlags, MAPI_E_USER_CANCEL},
        {"profiles=Alpha,Beta\nprofile_dialog=cancel\n", MAPI_EXTENDED, S_OK},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.scenario);
        MapiScenario scenario(test.scenario);
        // Watches for a dialog that should not come; closes it if it does.
        DialogUser watcher([](HWND, HWND combo) { PressKey(combo, VK_ESCAPE); }, 1500);
        std::string profile;
        EXPECT_EQ(LogonThroughDialog(scenario, test.flags, profile), test.result);
        watcher.Join();
        EXPECT_FALSE(watcher.found);
        EXPECT_EQ(profile, test.result == S_OK ? "Alpha" : "");
    }
}

TEST(MapiProfileDialog, WithoutScenarioShowsOutlookAndServesAThousandEntries) {
    ::SetEnvironmentVariableW(L"MAPISIM_SCENARIO", nullptr);
    DialogUser user([](HWND, HWND combo) { PressKey(combo, VK_RETURN); });
    StandInLibrary mapi;
    GalSession run(mapi);
    MapiPtr<IMAPITable> table;
    ASSERT_EQ(run.OpenGalTable(table), S_OK);
    user.Join();
    EXPECT_EQ(user.items, std::vector<std::wstring>{L"Outlook"});
    ULONG count = 0;
    EXPECT_EQ(table->GetRowCount(0, &count), S_OK);
    EXPECT_EQ(count, 1000u);
}

} // namespace
