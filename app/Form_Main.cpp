#include "app/Form_Main.h"
#include "base/StatusMessage.h"
#include "export/PumpMessages.h"
#include "gui/Form_About.h"
#include "gui/Form_Columns.h"
#include "resources/ResourceIds.h"

Form_Main::~Form_Main() {
    if (window && ::IsWindow(window))
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

bool Form_Main::Create(const WindowSettings& settings) {
    instance = settings.instance;
    if (name.empty())
        name = settings.title;

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    windowClass.lpszClassName = name.c_str();
    if (!::RegisterClassExW(&windowClass))
        return false;

    // Hidden until start-up shows it; WM_CREATE binds it to this object.
    window = ::CreateWindowExW(0, name.c_str(), name.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                               nullptr, instance, this);
    if (!window)
        return false;
    menu = ::GetMenu(window);
    accelerators = ::LoadAcceleratorsW(instance, L"HOTKEYS");
    // The settings' size is the one at 96 dpi: scaled for the monitor the window opens on.
    const int32_t openingDpi = GetMonitorDpi(GetStartupMonitor());
    const SIZE size =
        ScaleWindowSize(settings.width, settings.height, WS_OVERLAPPEDWINDOW, menu != nullptr, openingDpi);
    PlaceInWorkArea(window, settings.x, settings.y, size.cx, size.cy, settings.showCommand, false);
    dpi = GetWindowDpi(window);
    BuildControls(window, instance);
    lastFocus = connectButton;
    // Focus rectangles as Windows shows them in a dialog: from the start when the program
    // was started from the keyboard, else from the first Tab (which the dialog manager
    // announces).
    ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    return true;
}

void Form_Main::SetShowState(int showCommand) {
    ::ShowWindow(window, showCommand);
    ::UpdateWindow(window);
}

int Form_Main::RunMessageLoop() {
    MSG msg = {};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Keys are translated before dispatch, so F1, F11 and Ctrl+W work whichever
        // control has the focus.
        if (::TranslateAcceleratorW(window, accelerators, &msg))
            continue;
        // Tab, Shift+Tab and Enter as in a dialog; it dispatches what it takes itself.
        if (::IsDialogMessageW(window, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool Form_Main::StopReading(DWORD timeoutMs) {
    return reader.Stop(timeoutMs);
}

void Form_Main::DiscardPendingStatus() {
    if (window && ::IsWindow(window))
        DiscardQueuedStatus(window);
}

LRESULT CALLBACK Form_Main::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Form_Main* self = nullptr;
    if (message == WM_CREATE) {
        self = static_cast<Form_Main*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window = hwnd;
    } else {
        self = reinterpret_cast<Form_Main*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    // The messages before WM_CREATE find no object yet.
    if (!self)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT Form_Main::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        // Destroying the window drops what is posted to it; a payload still queued would
        // never be freed. The handle is still valid here, as the discard needs.
        DiscardQueuedStatus(window);
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE:
        clientWidth = LOWORD(lParam);
        clientHeight = HIWORD(lParam);
        ResizeControls(static_cast<int32_t>(wParam));
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_SETFOCUS:
        // The frame itself has nothing to type into: the focus goes on to a control.
        RestoreFocus();
        return 0;
    case DM_GETDEFID:
        // Enter in any control starts a read; the dialog manager skips a disabled button.
        return MAKELRESULT(IDM_CONNECT, DC_HASDEFID);
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (wParam == IDC_LIST && header)
            return OnListNotify(*header);
        return 0;
    }
    case WM_CONTEXTMENU:
        if (OnContextMenu(reinterpret_cast<HWND>(wParam), lParam))
            return 0;
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_SETCURSOR:
        // A sort dispatches messages: the wait cursor stays over the window meanwhile.
        if (sorting) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam)))
            return 0;
        return ::DefWindowProcW(window, message, wParam, lParam);
    case UWM_STATUS:
        OnStatus(wParam, lParam);
        return 0;
    case UWM_TRANSLATE_SHORTCUT:
        // From the export's message pump: the same table as the main loop.
        return ::TranslateAcceleratorW(window, accelerators, reinterpret_cast<MSG*>(lParam));
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void Form_Main::OnActivate(WPARAM state) {
    if (LOWORD(state) != WA_INACTIVE)
        return;
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(window, focus))
        lastFocus = focus;
}

void Form_Main::RestoreFocus() {
    HWND to = lastFocus && ::IsWindow(lastFocus) && ::IsWindowEnabled(lastFocus) ? lastFocus : nullptr;
    if (!to)
        to = ::IsWindowEnabled(connectButton) ? connectButton : listView;
    ::SetFocus(to);
}

void Form_Main::FocusAfterRead() {
    HWND to = connectButton;
    if (ListRows() > 0) {
        to = listView;
        // The first row, unless the user already chose one during the read.
        if (::SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) < 0) {
            LVITEMW first = {};
            first.state = first.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
            ::SendMessageW(listView, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
            ::SendMessageW(listView, LVM_SETSELECTIONMARK, 0, 0);
        }
    }
    lastFocus = to;
    // Only while the window is the active one: another program's window keeps its focus.
    if (::GetActiveWindow() == window)
        ::SetFocus(to);
}

void Form_Main::OnKeyDown(WPARAM key) {
    if (LOWORD(key) == VK_RETURN && ::IsWindowEnabled(connectButton) == 1)
        ::SendMessageW(window, WM_COMMAND, IDM_CONNECT, 0);
}

bool Form_Main::OnCommand(WORD id) {
    switch (id) {
    case IDM_CONNECT:
        Connect();
        return true;
    case IDM_SAVE:
        SaveAsText();
        return true;
    case IDM_EXIT:
        // The window stays: the loop ends and start-up tears down.
        ::PostQuitMessage(0);
        return true;
    case IDM_ABOUT:
        ShowAbout();
        return true;
    case IDM_COLUMNS:
        ChooseColumns();
        return true;
    case IDM_TOGGLE_MAXIMIZE:
        ToggleMaximized();
        return true;
    default:
        return OnListCommand(id);
    }
}

void Form_Main::Connect() {
    // The disabled controls do not cover a command posted by another program: a read or an
    // export still running turns it away here.
    if (!CanConnect())
        return;
    reading = true;
    // The list lets go of every row before the store frees them.
    ::SendMessageW(listView, LVM_SETITEMCOUNT, 0, LVSICF_NOINVALIDATEALL);
    store.Clear();
    // The details are chosen while the store is empty; the list's columns follow them.
    if (store.Details() != chosenDetails) {
        store.SetDetails(chosenDetails);
        ShowListColumns();
    }
    store.SetState(ReadState::Running);
    ResetListOrder();
    ::InvalidateRect(listView, nullptr, FALSE);
    // The button is about to be disabled, and a disabled window holds no focus: the list
    // takes it, where the rows arrive.
    if (::GetFocus() == connectButton)
        ::SetFocus(listView);
    EnableConnect();
    ::SendMessageW(connectButton, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Running"));
    if (!reader.Start(&store, window)) {
        // No thread will ever post STATUS_DONE: come back to the idle state here.
        ::SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"ERROR: CreateThread"));
        ShowIdle();
    }
}

void Form_Main::ShowIdle() {
    // A read that ends without having reached the end of its table leaves a partial list.
    if (store.State() == ReadState::Running)
        store.SetState(ReadState::Partial);
    reading = false;
    ::SendMessageW(connectButton, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Connect"));
    EnableConnect();
}

void Form_Main::Exporting(bool starting) {
    // A Connect would clear the list an export is writing: not while one runs.
    exports += starting ? 1 : -1;
    EnableConnect();
}

void Form_Main::EnableConnect() {
    const bool usable = CanConnect();
    ::EnableWindow(connectButton, usable ? TRUE : FALSE);
    ::EnableMenuItem(menu, IDM_CONNECT, MF_BYCOMMAND | (usable ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(menu, IDM_COLUMNS, MF_BYCOMMAND | (usable ? MF_ENABLED : MF_GRAYED));
}

void Form_Main::ShowAbout() {
    Form_About about;
    about.Run(instance, window);
    ::InvalidateRect(window, nullptr, FALSE);
}

void Form_Main::ChooseColumns() {
    // As with Connect, a command posted by another program meets the same rule as the menu.
    if (!CanConnect())
        return;
    Form_Columns box;
    box.Run(instance, window, chosenDetails, ListRows() > 0);
    ::InvalidateRect(window, nullptr, FALSE);
}

void Form_Main::ToggleMaximized() {
    SetShowState(GetShowState(window) == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : SW_MAXIMIZE);
}
