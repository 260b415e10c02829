#include "app/Form_Main.h"
#include "base/StatusMessage.h"
#include "resources/ResourceIds.h"

void Form_Main::OnStatus(WPARAM code, LPARAM payload) {
    if (code == STATUS_DONE) {
        ShowIdle();
        ::EnableMenuItem(menu, IDM_SAVE, MF_BYCOMMAND | MF_ENABLED);
        ::EnableMenuItem(menu, IDM_SAVE_CSV, MF_BYCOMMAND | MF_ENABLED);
        FocusAfterRead();
        ::InvalidateRect(window, nullptr, FALSE);
        return;
    }
    // Only the three codes with a payload are ours to take over.
    if (code != STATUS_COUNTS && code != STATUS_USER_DN && code != STATUS_TEXT)
        return;
    const std::unique_ptr<StatusMessage> message = TakeStatusMessage(payload);
    if (!message)
        return;
    if (code == STATUS_USER_DN) {
        ::SendMessageW(dnEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(message->text.c_str()));
        return;
    }
    ::SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(message->text.c_str()));
    if (code == STATUS_TEXT)
        return;

    const struct {
        HWND counter;
        const WideString& text;
    } counters[] = {
        {mailUsersCount, message->mailUsers},
        {distListsCount, message->distributionLists},
        {forumCount, message->forums},
        {agentsCount, message->agents},
        {remoteUsersCount, message->remoteMailUsers},
        {totalCount, message->total},
    };
    for (const auto& counter : counters)
        ::SendMessageW(counter.counter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(counter.text.c_str()));
    // A failure's counts carry no total: the list then shows no rows.
    const INT_PTR items = ParseInt(message->total);
    const LRESULT before = ::SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0);
    ::SendMessageW(listView, LVM_SETITEMCOUNT, static_cast<WPARAM>(items),
                   LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    // Wine's list view leaves rows that a new count brings into view unpainted until
    // something else repaints them: repaint while the rows in view may have changed.
    const LRESULT lastInView =
        ::SendMessageW(listView, LVM_GETTOPINDEX, 0, 0) + ::SendMessageW(listView, LVM_GETCOUNTPERPAGE, 0, 0);
    if (items != before && before <= lastInView)
        ::InvalidateRect(listView, nullptr, FALSE);
}
