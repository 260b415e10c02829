// Plays a user at the real program: starts it, then takes the steps it is given in order,
// as a person would with the mouse and keyboard, and prints each step with its outcome.
// Exit code 0 when every step worked.
// usage: rostermint_driver PROGRAM.exe STEP...
//   outlook:x86|x64     register an Outlook of that bitness first (removed at the end)
//   connect             the Connect button
//   profile:ok|cancel|open  answer the MAPI logon dialog, or only wait for it to open
//   modal               the logon dialog is open, owned by the window, which it disables
//   idle                wait for the button to say "Connect" again
//   reading             wait for the first rows in the list
//   status:TEXT         wait for the status bar to show TEXT
//   starts:TEXT         wait for a status bar text that starts with TEXT, and print it
//   save:PATH           File > Save to txt file, PATH typed into the file dialog
//   counters            print the six counters, the status bar and the user line
//   shot:PATH           a picture of the window (24-bit BMP)
//   about               F1, then Escape in the About box
//   close | ctrlw       the close box, or Ctrl+W
//   endtask             WM_CLOSE, as Task Manager's End task sends it (the window may be disabled)
//   exit:N              wait for the program to end with exit code N
//   sibling             the program started the other flavour: its window comes up, without
//                       the bitness error (exit code 77, skipped, where this machine cannot
//                       run the other flavour)
//   alone               the program has started no other process
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <vector>
#include "app/ScopedWin.h"
#include "resources/ResourceIds.h"
#include "tests/support/FileDialog.h"
#include "tests/support/JobProcess.h"
#include "tests/support/OtherFlavour.h"
#include "tests/support/OutlookRegistry.h"

namespace {

WideString TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                          nullptr);
    return text;
}

bool Await(const std::function<bool()>& done, DWORD timeoutMs) {
    for (DWORD waited = 0; !done(); waited += 50) {
        if (waited > timeoutMs)
            return false;
        ::Sleep(50);
    }
    return true;
}

bool Say(const WideString& step, bool ok) {
    std::printf("%-40ls %s\n", step.c_str(), ok ? "ok" : "FAILED");
    std::fflush(stdout);
    return ok;
}

// The window as it is on the screen, as a 24-bit bitmap file.
bool SaveScreenshot(HWND window, const WideString& path) {
    RECT r = {};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    ScopedGetDC screen(nullptr);
    ScopedMemoryDC memory(::CreateCompatibleDC(screen.Get()));
    ScopedGdiObj<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    {
        ScopedSelectObject selected(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY);
    }
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    std::vector<BYTE> pixels(stride * height);
    ::GetDIBits(memory.Get(), bitmap.Get(), 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    AutoCloseHandle out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return out && ::WriteFile(out.Get(), &file, sizeof(file), &written, nullptr) &&
           ::WriteFile(out.Get(), &info, sizeof(info), &written, nullptr) &&
           ::WriteFile(out.Get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
}

// The program under the driver's hands.
class User {
public:
    User(const WideString& program) : process(program) {}

    bool Take(const WideString& step) {
        const size_t colon = step.find(L':');
        const WideString verb = step.substr(0, colon);
        const WideString value = colon == WideString::npos ? WideString() : step.substr(colon + 1);
        if (verb == L"exit")
            return process.WaitForExit(60000) == std::wcstoul(value.c_str(), nullptr, 10);
        if (verb == L"sibling")
            return Sibling();
        if (verb == L"alone")
            return Alone();
        if (!FindWindow())
            return false;
        if (verb == L"connect")
            return ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_CONNECT, BN_CLICKED),
                                  reinterpret_cast<LPARAM>(Control(IDM_CONNECT)));
        if (verb == L"profile")
            return Profile(value == L"ok" ? IDOK : value == L"cancel" ? IDCANCEL : 0);
        if (verb == L"idle")
            return Await(
                [&] {
                    return ::IsWindowEnabled(Control(IDM_CONNECT)) &&
                           TextOf(Control(IDM_CONNECT)) == L"Connect";
                },
                300000);
        if (verb == L"reading")
            return Await([&] { return ::SendMessageW(Control(IDC_LIST), LVM_GETITEMCOUNT, 0, 0) > 0; },
                         300000);
        if (verb == L"status")
            return Await([&] { return TextOf(Control(IDC_STATUS)) == value; }, 300000);
        if (verb == L"starts") {
            WideString seen;
            const bool ok =
                Await([&] { return (seen = TextOf(Control(IDC_STATUS))).rfind(value, 0) == 0; }, 300000);
            std::printf("  %ls\n", seen.c_str());
            return ok;
        }
        if (verb == L"modal")
            return Modal();
        if (verb == L"save")
            return ::PostMessageW(window, WM_COMMAND, IDM_SAVE, 0) && AnswerExportDialog(value, IDOK);
        if (verb == L"counters")
            return Counters();
        if (verb == L"shot")
            return SaveScreenshot(window, value);
        if (verb == L"about")
            return About();
        if (verb == L"close")
            return ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (verb == L"endtask")
            return ::PostMessageW(window, WM_CLOSE, 0, 0);
        // Ctrl+W as the keyboard makes it: the character 23, which "HOTKEYS" takes.
        if (verb == L"ctrlw")
            return ::PostMessageW(Control(IDC_LIST), WM_CHAR, 23, 0);
        return false;
    }

private:
    bool FindWindow() {
        if (!window)
            window = WaitForProcessWindow(process.Id(), L"Mailsight license utility");
        return window != nullptr;
    }
    HWND Control(int id) const { return ::GetDlgItem(window, id); }

    bool Profile(int button) {
        HWND dialog = WaitForProcessWindow(process.Id(), L"#32770");
        if (!dialog || button == 0)
            return dialog != nullptr;
        return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0) &&
               Await([&] { return !::IsWindow(dialog); }, 30000);
    }

    bool Modal() {
        HWND dialog = WaitForProcessWindow(process.Id(), L"#32770");
        return dialog && ::GetWindow(dialog, GW_OWNER) == window && !::IsWindowEnabled(window);
    }

    bool About() {
        ::PostMessageW(window, WM_KEYDOWN, VK_F1, 0);
        HWND about = nullptr;
        if (!Await([&] { return (about = ::FindWindowW(L"#32770", L"About")) != nullptr; }, 30000))
            return false;
        ::PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
        return Await([&] { return !::IsWindow(about); }, 30000);
    }

    bool Counters() const {
        const wchar_t* labels[] = {L"Mail Users", L"Distribution Lists", L"Forum",
                                   L"Agents",     L"Remote Mail Users",  L"Total GAL Items"};
        std::vector<HWND> inGroup;
        HWND group = ::GetWindow(Control(IDM_CONNECT), GW_HWNDNEXT);
        for (HWND child = ::GetWindow(group, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            inGroup.push_back(child);
        if (inGroup.size() != 13)
            return false;
        for (size_t k = 0; k < 6; ++k)
            std::printf("  %-20ls %ls\n", labels[k], TextOf(inGroup[7 + k]).c_str());
        std::printf("  %-20ls %ls\n  %-20ls %ls\n", L"status bar", TextOf(Control(IDC_STATUS)).c_str(),
                    L"user", TextOf(Control(IDC_DN_EDIT)).c_str());
        return true;
    }

    bool Sibling() const {
        if (process.WaitForExit(60000) != 1)
            return false;
        const std::vector<DWORD> running = process.RunningIds();
        const std::vector<WideString> images = process.RunningImages();
        if (running.size() != 1 || images.size() != 1)
            return false;
        std::printf("  started %ls\n", images[0].c_str());
        HWND sibling = WaitForProcessWindow(running[0], L"Mailsight license utility");
        AutoCloseHandle handle(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, running[0]));
        if (!sibling || !handle)
            return false;
        // Once its queue is empty, whatever its start-up posted is on the status bar: a sibling
        // that finds the other bitness again would name it there.
        ::WaitForInputIdle(handle.Get(), 30000);
        const WideString status = TextOf(::GetDlgItem(sibling, IDC_STATUS));
        std::printf("  its status bar: %ls\n", status.c_str());
        return status.rfind(L"ERROR: Outlook bitness", 0) != 0;
    }

    // Wine starts its desktop process (explorer.exe) from the first program that opens a
    // window, so it may run in the program's job: processes of the Windows folder don't count.
    bool Alone() const {
        wchar_t system[MAX_PATH] = {};
        const UINT length = ::GetWindowsDirectoryW(system, MAX_PATH);
        DWORD helpers = 0;
        for (const WideString& image : process.RunningImages()) {
            std::printf("  running %ls\n", image.c_str());
            if (length && ::CompareStringOrdinal(image.c_str(),
                                                 static_cast<int>(std::min<size_t>(image.size(), length)),
                                                 system, static_cast<int>(length), TRUE) == CSTR_EQUAL)
                ++helpers;
        }
        return process.TotalProcesses() == 1 + helpers;
    }

    JobProcess process;
    HWND window = nullptr;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: rostermint_driver PROGRAM.exe STEP...\n");
        return 2;
    }
    // An Outlook of the asked bitness, for the driver's life only.
    OutlookRegistry registry;
    int first = 2;
    for (; first < argc && WideString(argv[first]).rfind(L"outlook:", 0) == 0; ++first)
        Say(argv[first], registry.Report(WideString(argv[first]).substr(8)));
    for (int i = first; i < argc; ++i) {
        if (WideString(argv[i]) == L"sibling" && !OtherFlavourRuns()) {
            std::printf("skipped: this machine cannot run the other flavour\n");
            return 77;
        }
    }
    User user(argv[1]);
    // The first step that fails ends the run: the later ones depend on it.
    for (int i = first; i < argc; ++i) {
        if (!Say(argv[i], user.Take(argv[i])))
            return 1;
    }
    return 0;
}
