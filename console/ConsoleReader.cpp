#include "console/ConsoleReader.h"

namespace {
constexpr wchar_t kClassName[] = L"RostermintConsoleReader";
}

LRESULT CALLBACK ConsoleReader::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ConsoleReader*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == UWM_STATUS) {
        self->OnStatus(wParam, lParam);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void ConsoleReader::OnStatus(WPARAM code, LPARAM payload) {
    const std::unique_ptr<StatusMessage> status = TakeStatusMessage(payload);
    if (code == STATUS_DONE) {
        done = true;
        return;
    }
    if (code != STATUS_COUNTS || !status)
        return;
    // Progress carries the total; a failure blanks the counters and names itself.
    if (status->total.empty())
        failureText = status->text;
    else if (progress)
        progress();
}

bool ConsoleReader::Read(const WideString& profile, AddressStore& store, const Progress& onProgress,
                         HANDLE stop) {
    progress = onProgress;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);
    window.Attach(
        ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this));
    if (!window)
        return false;
    reader.SetUnattendedLogon(profile);
    if (!reader.Start(&store, window.Get()))
        return false;
    MSG message;
    bool stopping = false;
    bool quit = false;
    while (!done && !quit) {
        const DWORD handles = stop && !stopping ? 1 : 0;
        if (::MsgWaitForMultipleObjects(handles, &stop, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 &&
            handles == 1) {
            // The reader still ends with STATUS_DONE, after its session.
            reader.Stop(0);
            stopping = true;
            continue;
        }
        while (!done && !quit && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            quit = message.message == WM_QUIT;
            if (!quit)
                ::DispatchMessageW(&message);
        }
    }
    // A failed logon posts its text after STATUS_DONE; the thread's end brings the last post.
    reader.Wait();
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
    DiscardQueuedStatus(window.Get());
    return true;
}
