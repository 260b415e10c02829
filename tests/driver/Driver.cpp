// Plays a user at the real program: starts it, then takes the steps it is given in order,
// as a person would with the mouse and keyboard, and prints each step with its outcome.
// Exit code 0 when every step worked.
// usage: rostermint_driver PROGRAM.exe STEP...
//   outlook:x86|x64     register a Microsoft 365 Outlook of that bitness first (removed at
//                       the end); outlook2013:x86|x64 an Outlook 2013 (version 15)
//   connect             the Connect button
//   profile:ok|cancel|open  answer the MAPI logon dialog, or only wait for it to open
//   modal               the logon dialog is open, owned by the window, which it disables
//   idle                wait for the button to say "Connect" again
//   reading             wait for the first rows in the list
//   status:TEXT         wait for the status bar to show TEXT
//   starts:TEXT         wait for a status bar text that starts with TEXT, and print it
//   save:PATH           File > Save to txt file, PATH typed into the file dialog
//   savecsv:PATH        File > Save as CSV file..., PATH typed into its dialog
//   replace:yes|no      answer the dialog's question before a file is replaced
//   dialog:cancel       cancel the open file dialog
//   lock:PATH           hold the file open, readable by others, until the driver ends (as
//                       a spreadsheet holds a file it shows)
//   header:N:up|down    a click on column heading N (0 Type ... 3 Distinguished Name, the
//                       details after), scrolled into view first, then wait for the
//                       heading's arrow to point that way
//   headings:H,H...     the list's column headings are exactly these
//   columns:H,H...      View > Columns..., its boxes of these headings checked and the others
//                       cleared with clicks, then OK; prints the box's note when it has one
//   firstrow            a click on the list's first visible row
//   keys:K,K...         keys pressed where the focus is, each a letter, digit, down, up,
//                       home, space, apps, tab or enter, after ctrl+ or shift+ (ctrl+c,
//                       shift+tab); the clipboard is emptied first
//   focus:connect|dn|list  wait for that control to hold the keyboard focus
//   clipboard:PATH      wait for text on the clipboard; it must equal the UTF-8 file
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
#include <cwctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>
#include "base/ScopedWin.h"
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

bool VisibleDialog(const wchar_t* title) {
    for (HWND w = ::FindWindowW(L"#32770", title); w; w = ::FindWindowExW(nullptr, w, L"#32770", title)) {
        if (::IsWindowVisible(w))
            return true;
    }
    return false;
}

// Presses the keys as the keyboard would, each with its modifiers held.
bool PressKeys(const WideString& list) {
    std::vector<INPUT> inputs;
    const auto key = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    size_t from = 0;
    while (from <= list.size()) {
        size_t comma = list.find(L',', from);
        if (comma == WideString::npos)
            comma = list.size();
        WideString name = list.substr(from, comma - from);
        from = comma + 1;
        std::vector<WORD> held;
        for (const auto& [prefix, vk] :
             {std::pair<const wchar_t*, WORD>{L"ctrl+", VK_CONTROL}, {L"shift+", VK_SHIFT}}) {
            if (name.rfind(prefix, 0) == 0) {
                held.push_back(vk);
                name.erase(0, std::wcslen(prefix));
            }
        }
        WORD vk = 0;
        if (name.size() == 1 && std::iswalnum(name[0]))
            vk = static_cast<WORD>(std::towupper(name[0]));
        const std::pair<const wchar_t*, WORD> named[] = {
            {L"down", VK_DOWN}, {L"up", VK_UP},   {L"home", VK_HOME},   {L"space", VK_SPACE},
            {L"apps", VK_APPS}, {L"tab", VK_TAB}, {L"enter", VK_RETURN}};
        for (const auto& [keyName, code] : named) {
            if (name == keyName)
                vk = code;
        }
        if (vk == 0)
            return false;
        for (WORD h : held)
            key(h, false);
        key(vk, false);
        key(vk, true);
        for (auto h = held.rbegin(); h != held.rend(); ++h)
            key(*h, true);
    }
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

void ClickAt(int x, int y) {
    ::SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

void EmptyClipboard() {
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

// The clipboard's text, empty while it holds none.
WideString ClipboardText() {
    WideString text;
    // Opened only once there is text: an open clipboard keeps the program from copying.
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        const LockedGlobal locked(data);
        if (const auto* chars = static_cast<const wchar_t*>(locked.Get()))
            text = chars;
    }
    ::CloseClipboard();
    return text;
}

WideString ReadUtf8File(const WideString& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WideString text(bytes.size(), L'\0');
    text.resize(
        static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                  text.data(), static_cast<int>(text.size()))));
    return text;
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
        if (verb == L"savecsv")
            return ::PostMessageW(window, WM_COMMAND, IDM_SAVE_CSV, 0) && AnswerExportDialog(value, IDOK);
        if (verb == L"replace")
            return AnswerReplacePrompt(value == L"yes" ? IDYES : IDNO);
        if (verb == L"dialog")
            return AnswerExportDialog(L"", IDCANCEL) &&
                   Await([] { return !VisibleDialog(L"Export results"); }, 30000);
        if (verb == L"lock") {
            locked.emplace_back(::CreateFileW(value.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return static_cast<bool>(locked.back());
        }
        if (verb == L"header") {
            const int column = std::wcstol(value.c_str(), nullptr, 10);
            const int arrow = value.find(L"down") != WideString::npos ? HDF_SORTDOWN : HDF_SORTUP;
            return ClickHeader(column) &&
                   Await([&] { return (HeaderItem(column).first & (HDF_SORTUP | HDF_SORTDOWN)) == arrow; },
                         30000);
        }
        if (verb == L"headings")
            return Headings() == value;
        if (verb == L"columns")
            return ChooseColumns(L"," + value + L",");
        if (verb == L"firstrow")
            return ClickFirstRow();
        if (verb == L"keys") {
            EmptyClipboard();
            return PressKeys(value);
        }
        if (verb == L"focus")
            return Focused(value == L"connect" ? IDM_CONNECT : value == L"dn" ? IDC_DN_EDIT : IDC_LIST);
        if (verb == L"clipboard")
            return ClipboardHolds(ReadUtf8File(value));
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

    HWND Header() const { return ::FindWindowExW(Control(IDC_LIST), nullptr, L"SysHeader32", nullptr); }

    bool ClickHeader(int column) const {
        HWND list = Control(IDC_LIST);
        const auto centre = [&] {
            // The header moves left as the list scrolls right.
            RECT r = {};
            ::GetWindowRect(Header(), &r);
            int left = r.left;
            for (int k = 0; k < column; ++k)
                left += static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, k, 0));
            return POINT{left + static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)) / 2,
                         (r.top + r.bottom) / 2};
        };
        RECT shown = {};
        if (!Header() || !::GetWindowRect(list, &shown))
            return false;
        // A heading past the list's right edge is scrolled into view, as with the scroll bar.
        POINT at = centre();
        if (at.x >= shown.right - 8) {
            ::SendMessageW(list, LVM_SCROLL, at.x - (shown.left + shown.right) / 2, 0);
            ::Sleep(200);
            at = centre();
        }
        // Two clicks in the double-click time are a double click, not a second click.
        ::Sleep(::GetDoubleClickTime() + 100);
        ClickAt(at.x, at.y);
        return true;
    }

    // The headings, comma-separated.
    WideString Headings() const {
        WideString headings;
        const int count = static_cast<int>(::SendMessageW(Header(), HDM_GETITEMCOUNT, 0, 0));
        for (int k = 0; k < count; ++k)
            headings += (k > 0 ? L"," : L"") + HeaderItem(k).second;
        std::printf("  headings: %ls\n", headings.c_str());
        return headings;
    }

    // wanted: the headings to check, each between commas.
    bool ChooseColumns(const WideString& wanted) const {
        ::PostMessageW(window, WM_COMMAND, IDM_COLUMNS, 0);
        HWND box = nullptr;
        if (!Await([&] { return (box = ::FindWindowW(L"#32770", L"Columns")) && ::IsWindowVisible(box); },
                   30000))
            return false;
        bool ok = true;
        for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            const WideString text = TextOf(child);
            const int id = ::GetDlgCtrlID(child);
            if (id < IDC_FIRST_DETAIL_BOX) {
                if (id <= 0 && text.find(L"Connect") != WideString::npos)
                    std::printf("  note: %ls\n", text.c_str());
                continue;
            }
            const bool want = wanted.find(L"," + text + L",") != WideString::npos;
            if ((::SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED) != want)
                ::SendMessageW(child, BM_CLICK, 0, 0);
            ok = ok && (::SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED) == want;
        }
        ::SendMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        return ok && Await([&] { return !::IsWindow(box); }, 30000);
    }

    // A heading's format flags and text, asked in the program's own memory: the header
    // control reads and writes its HDITEMW, and the text, where the pointers say.
    std::pair<int, WideString> HeaderItem(int column) const {
        AutoCloseHandle program(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process.Id()));
        wchar_t text[256] = {};
        auto* remote =
            program ? static_cast<char*>(::VirtualAllocEx(
                          program.Get(), nullptr, sizeof(HDITEMW) + sizeof(text), MEM_COMMIT, PAGE_READWRITE))
                    : nullptr;
        if (!remote)
            return {};
        HDITEMW item = {};
        item.mask = HDI_FORMAT | HDI_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(HDITEMW));
        item.cchTextMax = static_cast<int>(std::size(text)) - 1;
        std::pair<int, WideString> got;
        if (::WriteProcessMemory(program.Get(), remote, &item, sizeof(item), nullptr) &&
            ::SendMessageW(Header(), HDM_GETITEMW, column, reinterpret_cast<LPARAM>(remote)) &&
            ::ReadProcessMemory(program.Get(), remote, &item, sizeof(item), nullptr) &&
            ::ReadProcessMemory(program.Get(), remote + sizeof(HDITEMW), text, sizeof(text), nullptr))
            got = {item.fmt, text};
        ::VirtualFreeEx(program.Get(), remote, 0, MEM_RELEASE);
        return got;
    }

    // Clicked until the list holds the keyboard focus: a dialog that has just closed (Wine
    // keeps one about two seconds) can take the first click.
    bool ClickFirstRow() const {
        RECT r = {}, shown = {};
        HWND list = Control(IDC_LIST);
        if (!::GetWindowRect(Header(), &r) || !::GetWindowRect(list, &shown))
            return false;
        const DWORD thread = ::GetWindowThreadProcessId(list, nullptr);
        const auto focused = [&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == list &&
                   ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
        };
        for (int attempt = 0; attempt < 15; ++attempt) {
            // From the list's edge: a list scrolled to the right has its header further left.
            ClickAt(shown.left + 40, r.bottom + 5);
            if (Await(focused, 2000))
                return true;
        }
        return false;
    }

    bool Focused(int id) const {
        HWND control = Control(id);
        const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
        return Await(
            [&] {
                GUITHREADINFO info = {};
                info.cbSize = sizeof(info);
                return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == control;
            },
            30000);
    }

    // The question before a file is replaced: a message box of the dialog's, with Yes and No.
    bool AnswerReplacePrompt(int button) const {
        HWND prompt = nullptr;
        const auto find = [&] {
            for (HWND w = ::FindWindowW(L"#32770", nullptr); w;
                 w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                if (::IsWindowVisible(w) && ::GetDlgItem(w, IDYES) && ::GetDlgItem(w, IDNO))
                    return (prompt = w) != nullptr;
            }
            return false;
        };
        if (!Await(find, 30000))
            return false;
        ::PostMessageW(prompt, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(prompt, button)));
        return Await([&] { return !::IsWindow(prompt); }, 30000);
    }

    bool ClipboardHolds(const WideString& expected) const {
        WideString text;
        if (!Await([&] { return !(text = ClipboardText()).empty(); }, 60000))
            return false;
        if (text != expected)
            std::printf("  the clipboard holds:\n%ls\n", text.c_str());
        return text == expected;
    }

    bool Counters() const {
        // Each counter follows its label; the separator stands before the total's label.
        constexpr size_t kCounters[] = {1, 3, 5, 7, 9, 12};
        const wchar_t* labels[] = {L"Mail Users", L"Distribution Lists", L"Forum",
                                   L"Agents",     L"Remote Mail Users",  L"Total GAL Items"};
        std::vector<HWND> inGroup;
        HWND group = ::GetWindow(Control(IDM_CONNECT), GW_HWNDNEXT);
        for (HWND child = ::GetWindow(group, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            inGroup.push_back(child);
        if (inGroup.size() != 13)
            return false;
        for (size_t k = 0; k < 6; ++k)
            std::printf("  %-20ls %ls\n", labels[k], TextOf(inGroup[kCounters[k]]).c_str());
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
    std::vector<AutoCloseHandle> locked;
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
    for (; first < argc; ++first) {
        const WideString step = argv[first];
        const size_t colon = step.find(L':');
        const WideString kind = step.substr(0, colon);
        Bitness bitness = Bitness::Unknown;
        if (colon == WideString::npos || (kind != L"outlook" && kind != L"outlook2013"))
            break;
        const bool parsed = ParseBitness(step.substr(colon + 1), bitness);
        Say(step,
            parsed && (kind == L"outlook" ? registry.Report(bitness) : registry.ReportOutlook2013(bitness)));
    }
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
