#include "tests/support/MessageRecorder.h"

namespace {
const wchar_t kClassName[] = L"RostermintTestRecorder";
}

MessageRecorder::MessageRecorder() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc); // a second recorder finds the class already there
    window.Attach(::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), this));
}

LRESULT CALLBACK MessageRecorder::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageRecorder*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == UWM_STATUS) {
        Record record;
        record.code = wParam;
        record.hadPayload = lParam != 0;
        if (auto payload = TakeStatusMessage(lParam)) {
            record.message = *payload;
            ++self->payloadsFreed;
        }
        self->records.push_back(std::move(record));
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

bool MessageRecorder::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

void MessageRecorder::PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool MessageRecorder::SawDone() const {
    for (const Record& r : records)
        if (r.code == STATUS_DONE)
            return true;
    return false;
}

std::vector<WideString> MessageRecorder::Texts(WPARAM code) const {
    std::vector<WideString> texts;
    for (const Record& r : records)
        if (r.code == code)
            texts.push_back(r.message.text);
    return texts;
}
