#pragma once
#include <windows.h>
#include <atomic>
#include <functional>
#include <memory>
#include "base/Strings.h"

// Background work reports to the main window only through this posted message.
// wParam is a StatusCode; lParam a StatusMessage the receiver takes over, or 0.
constexpr UINT UWM_STATUS = WM_USER + 1;

enum StatusCode : WPARAM {
    STATUS_COUNTS = 1026,  // status-bar text and the six counters
    STATUS_USER_DN = 1027, // text for the DN edit box
    STATUS_TEXT = 1028,    // status-bar text
    STATUS_DONE = 1029,    // the read has ended; no payload
};

// Lets a sender count its messages that are posted but not yet applied: the count rises
// when the ticket is made and drops when the payload is freed, by whichever side frees it.
// There is one posted message per ticket, so a ticket moves but is never copied.
class StatusTicket {
public:
    StatusTicket() = default;
    explicit StatusTicket(std::shared_ptr<std::atomic<long>> count) : count(std::move(count)) {
        ++*this->count;
    }
    ~StatusTicket() {
        if (count)
            --*count;
    }
    StatusTicket(const StatusTicket&) = delete;
    StatusTicket& operator=(const StatusTicket&) = delete;
    StatusTicket(StatusTicket&& other) noexcept : count(std::move(other.count)) {}
    StatusTicket& operator=(StatusTicket&& other) noexcept {
        if (this != &other) {
            StatusTicket released(std::move(*this));
            count = std::move(other.count);
        }
        return *this;
    }

private:
    std::shared_ptr<std::atomic<long>> count;
};

// What a status message says. A receiver that keeps what it was told copies these.
struct StatusTexts {
    WideString text;
    WideString mailUsers;
    WideString distributionLists;
    WideString forums;
    WideString agents;
    WideString remoteMailUsers;
    WideString total;
};

// A posted message: its texts, and the ticket that counts it until it is freed.
struct StatusMessage : StatusTexts {
    StatusTicket ticket;
};

// Posts UWM_STATUS to window. The payload (null for STATUS_DONE) passes to the receiver
// when the post succeeds; when it fails the payload is freed here and false comes back.
bool PostStatus(HWND window, StatusCode code, std::unique_ptr<StatusMessage> payload);

// Posts a STATUS_TEXT carrying text; a failed post is dropped.
void PostStatusText(HWND window, const WideString& text);

// For the message that ends a run, which must not be lost to a full queue: retries the
// post while the window exists and giveUp() says no. False (payload freed) when it gave up.
bool PostStatusUntilDelivered(HWND window, StatusCode code, std::unique_ptr<StatusMessage> payload,
                              const std::function<bool()>& giveUp);

// The receiving side: takes ownership of the payload of a dispatched UWM_STATUS.
std::unique_ptr<StatusMessage> TakeStatusMessage(LPARAM lParam);

// Frees the payloads of UWM_STATUS messages still queued for window on this thread,
// for a receiver that stops dispatching (its loop has ended).
void DiscardQueuedStatus(HWND window);
