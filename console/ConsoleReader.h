#pragma once
#include <windows.h>
#include <functional>
#include "base/ScopedWin.h"
#include "directory/AddressStore.h"
#include "directory/DirectoryReader.h"

// Runs the window's reader without a window to show it: a message-only window takes its
// UWM_STATUS messages, and a message loop runs until the reader's thread has ended.
class ConsoleReader {
public:
    // Called on each progress message; the reader's LatestProgress says how far it got.
    using Progress = std::function<void()>;

    ConsoleReader() = default;
    ConsoleReader(const ConsoleReader&) = delete;
    ConsoleReader& operator=(const ConsoleReader&) = delete;

    // Logs on without a dialog (the profile, or the default one when empty) and reads the
    // whole Global Address List into store. False when the read could not even start. Once
    // stop is signalled, the read ends at its next batch and its session is ended.
    bool Read(const WideString& profile, AddressStore& store, const Progress& progress, HANDLE stop);

    const DirectoryReader& Reader() const { return reader; }
    // The reader's failure text (its status text), empty after a whole read.
    const WideString& FailureText() const { return failureText; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnStatus(WPARAM code, LPARAM payload);

    DirectoryReader reader;
    ScopedWindow window;
    Progress progress;
    WideString failureText;
    bool done = false;
};
