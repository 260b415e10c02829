#include "tests/support/FileDialog.h"
#include <dlgs.h>

namespace {
BOOL CALLBACK TakeEdit(HWND child, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (::lstrcmpiW(name, L"Edit") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

HWND FileNameField(HWND dialog) {
    // Explorer-style dialogs keep the name in an edit inside a combo box (nested twice
    // in Wine's ComboBoxEx32), older ones in a plain edit.
    HWND edit = nullptr;
    if (HWND combo = ::GetDlgItem(dialog, cmb13))
        ::EnumChildWindows(combo, TakeEdit, reinterpret_cast<LPARAM>(&edit));
    return edit ? edit : ::GetDlgItem(dialog, edt1);
}
} // namespace

bool AnswerExportDialog(const WideString& typed, int button, DWORD timeoutMs) {
    HWND dialog = nullptr;
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        // A dialog that has just closed may linger hidden beside the new one.
        for (dialog = ::FindWindowW(L"#32770", L"Export results"); dialog && !::IsWindowVisible(dialog);)
            dialog = ::FindWindowExW(nullptr, dialog, L"#32770", L"Export results");
        if (dialog)
            break;
        ::Sleep(50);
    }
    if (!dialog)
        return false;
    if (!typed.empty()) {
        HWND field = FileNameField(dialog);
        if (!field || !::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()))) {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return false;
        }
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    return true;
}
