#include "app/StatusMessage.h"

bool PostStatus(HWND window, StatusCode code, std::unique_ptr<StatusMessage> payload) {
    if (!::PostMessageW(window, UWM_STATUS, code, reinterpret_cast<LPARAM>(payload.get())))
        return false;  // the payload is still ours and goes with the unique_ptr
    payload.release(); // the receiver owns it now
    return true;
}

std::unique_ptr<StatusMessage> TakeStatusMessage(LPARAM lParam) {
    return std::unique_ptr<StatusMessage>(reinterpret_cast<StatusMessage*>(lParam));
}

void DiscardQueuedStatus(HWND window) {
    MSG msg;
    while (::PeekMessageW(&msg, window, UWM_STATUS, UWM_STATUS, PM_REMOVE))
        TakeStatusMessage(msg.lParam);
}
