#pragma once
#include <windows.h>
#include <functional>
#include <vector>
#include "base/ScopedWin.h"
#include "base/StatusMessage.h"

// A message-only window that stands in for the main window in tests: it records every
// UWM_STATUS in arrival order and frees each payload as the real receiver does.
class MessageRecorder {
public:
    struct Record {
        WPARAM code = 0;
        bool hadPayload = false;
        StatusTexts message;
    };

    MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND Window() const { return window.Get(); }
    const std::vector<Record>& Records() const { return records; }
    // Payloads taken over so far (each freed right after it was recorded).
    int PayloadsFreed() const { return payloadsFreed; }

    // Dispatches this thread's messages until done() holds or timeoutMs passes; returns done().
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);
    // Dispatches what is waiting now.
    void PumpPending();
    // True once a STATUS_DONE has been recorded.
    bool SawDone() const;
    // The texts of the records with this code, in order.
    std::vector<WideString> Texts(WPARAM code) const;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    ScopedWindow window;
    std::vector<Record> records;
    int payloadsFreed = 0;
};
