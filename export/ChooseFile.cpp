#include <windows.h>
#include <commdlg.h>
#include <cwchar>
#include <vector>
#include "export/ChooseFile.h"

namespace {
// The open dialog, not the save dialog: the user may name a file that does not exist yet,
// and is never asked before an existing one is replaced.
constexpr DWORD kChooseFlags =
    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_ENABLESIZING | OFN_DONTADDTORECENT;
static_assert(kChooseFlags == 0x0288000C, "dialog flags");

// Room for the longest path Windows takes, 32,767 characters and the terminator: with less,
// the dialog refuses a long path.
constexpr DWORD kPathChars = 32768;

// One filter entry per literal; the literal's own terminator ends the pair list.
bool RunFileDialog(HWND owner, WideString& folder, const WideString& fileName, const WideString& title,
                   const wchar_t* filter, const wchar_t* defaultExtension, DWORD flags,
                   BOOL(WINAPI* show)(OPENFILENAMEW*)) {
    std::vector<wchar_t> buffer(kPathChars, L'\0');
    fileName.copy(buffer.data(), kPathChars - 1);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kPathChars;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = defaultExtension;
    dialog.Flags = flags;
    const bool chosen = show(&dialog) != FALSE;
    // A dialog that failed is no cancel: the export goes on with no path, and creating the
    // file fails and says so.
    if (!chosen && ::CommDlgExtendedError() != 0) {
        folder.clear();
        return true;
    }
    folder.assign(buffer.data(), wcsnlen(buffer.data(), kPathChars));
    return chosen;
}
} // namespace

bool ChooseFile(HWND owner, WideString& folder, const WideString& fileName, const WideString& title) {
    return RunFileDialog(owner, folder, fileName, title, L"All Files (*.*)\0*.*\0", L"", kChooseFlags,
                         ::GetOpenFileNameW);
}

bool ChooseCsvFile(HWND owner, WideString& folder, const WideString& fileName, const WideString& title) {
    // The save dialog: it asks before an existing file is replaced.
    return RunFileDialog(owner, folder, fileName, title, L"CSV (*.csv)\0*.csv\0", L"csv",
                         kChooseFlags | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, ::GetSaveFileNameW);
}
