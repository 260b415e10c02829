// Plays a user at the real program: starts it, presses Connect, picks the profile in the
// MAPI logon dialog, waits for the read, saves the list through File > Save to txt file
// and the file dialog, waits for "Export complete.", takes a picture of the filled window
// and quits with Ctrl+W. Prints what it saw; exit code 0 when every step worked.
// usage: rostermint_driver PROGRAM.exe EXPORT.txt SCREENSHOT.bmp
#include <windows.h>
#include <cstdio>
#include <functional>
#include <vector>
#include "app/ScopedWin.h"
#include "resources/ResourceIds.h"
#include "tests/support/FileDialog.h"
#include "tests/support/JobProcess.h"

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

void Say(const char* step, bool ok) {
    std::printf("%-34s %s\n", step, ok ? "ok" : "FAILED");
    std::fflush(stdout);
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

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: rostermint_driver PROGRAM.exe EXPORT.txt SCREENSHOT.bmp\n");
        return 2;
    }
    const WideString program = argv[1], exportPath = argv[2], screenshot = argv[3];
    JobProcess process(program);
    HWND window = WaitForProcessWindow(process.Id(), L"Mailsight license utility");
    Say("the window opens", window != nullptr);
    if (!window)
        return 1;
    HWND button = ::GetDlgItem(window, IDM_CONNECT);
    HWND status = ::GetDlgItem(window, IDC_STATUS);

    // 1-2. Connect, then the profile dialog's OK (its first profile is the default).
    // The button's click, as the button reports it to its window.
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_CONNECT, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    HWND profiles = WaitForProcessWindow(process.Id(), L"#32770");
    Say("Connect shows the profile dialog", profiles != nullptr);
    if (!profiles) {
        std::printf("status bar: %ls\n", TextOf(status).c_str());
        return 1;
    }
    ::PostMessageW(profiles, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // 3. The read ends with the button back to "Connect".
    const bool read = Await([&] { return !::IsWindow(profiles) && ::IsWindowEnabled(button) &&
                                         TextOf(button) == L"Connect"; },
                            300000);
    Say("the read finishes", read);
    // 4-6. File > Save to txt file, the path typed into the dialog, "Export complete.".
    ::PostMessageW(window, WM_COMMAND, IDM_SAVE, 0);
    const bool answered = AnswerExportDialog(exportPath, IDOK);
    Say("the file dialog takes the path", answered);
    const bool exported = answered && Await([&] { return TextOf(status) == L"Export complete."; }, 300000);
    Say("the export completes", exported);

    const bool pictured = SaveScreenshot(window, screenshot);
    Say("a picture of the window", pictured);
    const wchar_t* labels[] = {L"Mail Users", L"Distribution Lists", L"Forum", L"Agents", L"Remote Mail Users",
                               L"Total GAL Items"};
    std::vector<HWND> inGroup;
    for (HWND child = ::GetWindow(::GetWindow(button, GW_HWNDNEXT), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        inGroup.push_back(child);
    for (size_t k = 0; k < 6 && inGroup.size() == 13; ++k)
        std::printf("%-20ls %ls\n", labels[k], TextOf(inGroup[7 + k]).c_str());
    std::printf("status bar           %ls\n", TextOf(status).c_str());
    std::printf("user                 %ls\n", TextOf(::GetDlgItem(window, IDC_DN_EDIT)).c_str());

    // 7. Ctrl+W as the keyboard makes it: the character 23, which the "HOTKEYS" table takes.
    ::PostMessageW(::GetDlgItem(window, IDC_LIST), WM_CHAR, 23, 0);
    const DWORD exitCode = process.WaitForExit(30000);
    Say("Ctrl+W ends the program with 0", exitCode == 0);
    return read && exported && pictured && exitCode == 0 ? 0 : 1;
}
