#pragma once
#include <windows.h>
#include <memory>
#include "text/Strings.h"

// Background work reports to the main window only through this posted message.
// wParam is a StatusCode; lParam a StatusMessage the receiver takes over, or 0.
constexpr UINT UWM_STATUS = WM_USER + 1;

enum StatusCode : WPARAM {
    STATUS_COUNTS = 1026,  // status-bar text and the six counters
    STATUS_USER_DN = 1027, // text for the DN edit box
    STATUS_TEXT = 1028,    // status-bar text
    STATUS_DONE = 1029,    // the read has ended; no payload
};

struct StatusMessage {
    WideString text;
    WideString mailUsers;
    WideString distributionLists;
    WideString forums;
    WideString agents;
    WideString remoteMailUsers;
    WideString total;
};

// Posts UWM_STATUS to window. The payload (null for STATUS_DONE) passes to the receiver
// when the post succeeds; when it fails the payload is freed here and false comes back.
bool PostStatus(HWND window, StatusCode code, std::unique_ptr<StatusMessage> payload);

// The receiving side: takes ownership of the payload of a dispatched UWM_STATUS.
std::unique_ptr<StatusMessage> TakeStatusMessage(LPARAM lParam);

// Frees the payloads of UWM_STATUS messages still queued for window on this thread,
// for a receiver that stops dispatching (its loop has ended).
void DiscardQueuedStatus(HWND window);
