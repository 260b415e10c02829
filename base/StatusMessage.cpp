#include "base/StatusMessage.h"

bool PostStatusUntilDelivered(HWND window, StatusCode code, std::unique_ptr<StatusMessage> payload,
                              const std::function<bool()>& giveUp) {
    // A posted-message queue holds a bounded number of messages (10,000 by default); a
    // post fails while the receiver is that far behind, and succeeds once it catches up.
    while (!::PostMessageW(window, UWM_STATUS, code, reinterpret_cast<LPARAM>(payload.get()))) {
        if (!::IsWindow(window) || giveUp())
            return false;
        ::Sleep(10);
    }
    payload.release();
    return true;
}

bool PostStatus(HWND window, StatusCode code, std::unique_ptr<StatusMessage> payload) {
    return PostStatusUntilDelivered(window, code, std::move(payload), [] { return true; });
}

void PostStatusText(HWND window, const WideString& text) {
    auto message = std::make_unique<StatusMessage>();
    message->text = text;
    PostStatus(window, STATUS_TEXT, std::move(message));
}

std::unique_ptr<StatusMessage> TakeStatusMessage(LPARAM lParam) {
    return std::unique_ptr<StatusMessage>(reinterpret_cast<StatusMessage*>(lParam));
}

void DiscardQueuedStatus(HWND window) {
    MSG msg;
    while (::PeekMessageW(&msg, window, UWM_STATUS, UWM_STATUS, PM_REMOVE)) {
        // Wine hands out a pending WM_QUIT whatever the filter, once no posted message
        // matches: it belongs to the message loop, so it goes back.
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TakeStatusMessage(msg.lParam);
    }
}
