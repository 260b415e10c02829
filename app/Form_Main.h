#pragma once
#include <windows.h>
#include <cstdint>
#include "app/ListOrder.h"
#include "base/ScopedWin.h"
#include "app/WindowSettings.h"
#include "directory/AddressStore.h"
#include "directory/DirectoryReader.h"
#include "export/AddressListExport.h"
#include "gui/GUI_Objects.h"

// The program's one top-level window: the Connect button, the counters of the Global
// Address List, the user's distinguished name, the virtual list of entries and the status
// bar. It owns the store and the reader that fills it on a worker thread, turns commands
// into actions and applies the status messages that background work posts.
class Form_Main : public GUI_Objects {
public:
    Form_Main() = default;
    // Unbinds the window if it still exists, so nothing reaches a destroyed object.
    virtual ~Form_Main();
    Form_Main(const Form_Main&) = delete;
    Form_Main& operator=(const Form_Main&) = delete;

    // Registers the class, creates the window hidden, places it and builds its controls.
    // False when the class could not be registered or the window not be created.
    bool Create(const WindowSettings& settings);
    void SetShowState(int showCommand);
    // Runs the message loop with the "HOTKEYS" table until WM_QUIT; returns its exit code.
    int RunMessageLoop();
    // Asks a read still running to stop and waits up to timeoutMs for its thread; true
    // when no reader thread is left.
    bool StopReading(DWORD timeoutMs);
    // Frees the payloads of status messages still queued for the window, which no loop
    // will dispatch any more.
    void DiscardPendingStatus();
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Creates the controls for the window's resolution, or, once they exist, lays them out
    // again for it: the list's column widths, as the user left them, follow from previousDpi.
    void BuildControls(HWND parent, HINSTANCE instanceHandle, int32_t previousDpi = 0);
    void ResizeControls(int32_t type);
    // The window moved to a monitor of another resolution.
    void OnDpiChanged(int32_t newDpi, const RECT& suggested);
    void OnKeyDown(WPARAM key);
    // The keyboard focus goes back where it was when the window was last deactivated.
    void OnActivate(WPARAM state);
    void RestoreFocus();
    // After a read: the list takes the focus on its first row, or Connect when it is empty.
    void FocusAfterRead();
    // True for the five commands; false leaves the message to DefWindowProcW.
    bool OnCommand(WORD id);
    void Connect();
    void ShowAbout();
    // The Columns box: the details the next Connect reads.
    void ChooseColumns();
    void ToggleMaximized();
    void OnStatus(WPARAM code, LPARAM payload);
    // The read has ended: button "Connect", and Connect usable unless an export runs.
    void ShowIdle();
    // Connect (button and item) and Columns are usable only while no read, export or sort runs.
    bool CanConnect() const { return !reading && exports == 0 && !sorting; }
    void EnableConnect();
    // Around each export: Connect waits until none runs.
    void Exporting(bool starting);

    // The list's own tools (ListHandlers.cpp): its order, finding, copying, its menu.
    LRESULT OnListNotify(NMHDR& header);
    bool OnListCommand(WORD id);
    // True when the menu was the list's to show.
    bool OnContextMenu(HWND from, LPARAM position);
    void SortByColumn(int column);
    void ResetListOrder();
    void ShowSortArrow();
    void SelectAllRows();
    void CopySelectedRows();
    // The rows the list shows, never more than the store holds.
    uint64_t ListRows() const;
    // The list's columns, its four and then the details the store keeps.
    int ListColumnCount() const;
    // Makes the list's columns those of the store's details: the four stay as the user sized
    // them, the detail columns are made again.
    void ShowListColumns();
    // The two exports; both dialogs' choices set the folder the CSV dialog starts in.
    void SaveAsText();
    void SaveAsCsv();
    WideString SaveFolder() const;
    FileChooser RememberingChooser(const FileChooser& choose);

    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    int32_t listTop = 0;
    // The resolution the controls are laid out for.
    int32_t dpi = 96;
    // The control that had the keyboard focus when the window was last active.
    HWND lastFocus = nullptr;
    AddressStore store;
    DirectoryReader reader;
    bool reading = false;
    // Exports running, nested ones included.
    int exports = 0;
    ListOrder order;
    // A sort runs; it dispatches messages while its threads work.
    bool sorting = false;
    // The folder of the last file saved in this run; empty before the first save.
    WideString lastSaveFolder;
    // The details the next Connect reads, as the Columns box left them; for this run only.
    details::DetailSet chosenDetails = 0;

    HWND introText = nullptr;
    HWND connectButton = nullptr;
    HWND galGroup = nullptr;
    HWND mailUsersLabel = nullptr;
    HWND distListsLabel = nullptr;
    HWND forumLabel = nullptr;
    HWND agentsLabel = nullptr;
    HWND remoteUsersLabel = nullptr;
    HWND totalLabel = nullptr;
    HWND totalSeparator = nullptr;
    HWND mailUsersCount = nullptr;
    HWND distListsCount = nullptr;
    HWND forumCount = nullptr;
    HWND agentsCount = nullptr;
    HWND remoteUsersCount = nullptr;
    HWND totalCount = nullptr;
    HWND dnEdit = nullptr;
    HWND statusBar = nullptr;
    HWND listView = nullptr;

    HMENU menu = nullptr;
    ScopedGdiObj<HFONT> font;
    HINSTANCE instance = nullptr;
    WideString name;
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
};
