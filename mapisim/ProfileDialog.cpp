#include "mapisim/ProfileDialog.h"

namespace mapisim {
namespace {

constexpr WORD kProfileCombo = 1001;

// Builds a DLGTEMPLATE in memory: WORD-sized items, each control DWORD-aligned.
class DialogTemplate {
public:
    void Header(DWORD style, WORD controls, short cx, short cy, const wchar_t* title) {
        Dword(style);
        Dword(0); // extended style
        Word(controls);
        Word(0); // x
        Word(0); // y
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(0); // no menu
        Word(0); // standard dialog class
        Text(title);
        Word(8); // DS_SETFONT: point size, then face name
        Text(L"MS Shell Dlg");
    }
    void Control(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atomClass,
                 const wchar_t* text) {
        while (words.size() % 2 != 0)
            Word(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(atomClass);
        Text(text);
        Word(0); // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words.data()); }

private:
    void Word(WORD value) { words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        for (; *text; ++text)
            Word(static_cast<WORD>(*text));
        Word(0);
    }
    std::vector<WORD> words; // WORD storage keeps the template DWORD-aligned for these sizes
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboAtom = 0x0085;

struct DialogState {
    const std::vector<WideString>* profiles;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* state = reinterpret_cast<const DialogState*>(lParam);
        const HWND combo = ::GetDlgItem(dialog, kProfileCombo);
        for (const WideString& name : *state->profiles)
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
        ::SetForegroundWindow(dialog);
        return TRUE; // focus goes to the combo box, the first tab stop
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const LRESULT chosen = ::SendDlgItemMessageW(dialog, kProfileCombo, CB_GETCURSEL, 0, 0);
            ::EndDialog(dialog, chosen == CB_ERR ? 0 : 1 + chosen);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int ChooseProfile(HINSTANCE module, HWND parent, const std::vector<WideString>& profiles) {
    DialogTemplate dialog;
    dialog.Header(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 4, 222, 52,
                  L"Choose Profile");
    dialog.Control(SS_LEFT, 7, 10, 52, 8, 0xFFFF, kStaticAtom, L"Profile &Name:");
    dialog.Control(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 62, 8, 153, 80, kProfileCombo, kComboAtom,
                   L"");
    dialog.Control(BS_DEFPUSHBUTTON | WS_TABSTOP, 108, 31, 50, 14, IDOK, kButtonAtom, L"OK");
    dialog.Control(BS_PUSHBUTTON | WS_TABSTOP, 165, 31, 50, 14, IDCANCEL, kButtonAtom, L"Cancel");
    DialogState state{&profiles};
    const INT_PTR result =
        ::DialogBoxIndirectParamW(module, dialog.Get(), parent, DialogProc, reinterpret_cast<LPARAM>(&state));
    if (result == -1)
        return kDialogFailed;
    return result > 0 ? static_cast<int>(result - 1) : kDialogCancelled;
}

} // namespace mapisim
