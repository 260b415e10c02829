#include "console/ConsoleOutput.h"
#include <cwchar>
#include "base/ScopedWin.h"
#include "text/TextConversion.h"

ConsoleStream::ConsoleStream(DWORD standardHandle) : handle(::GetStdHandle(standardHandle)) {
    DWORD mode = 0;
    console = handle && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

bool ConsoleStream::Write(const WideString& text) const {
    if (!handle || handle == INVALID_HANDLE_VALUE) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (text.empty())
        return true;
    DWORD written = 0;
    bool whole = false;
    size_t expected = text.size();
    if (console) {
        whole =
            ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
    } else {
        // A file or pipe gets Windows line ends, as the rest of a script's files have.
        WideString lines;
        for (const wchar_t c : text) {
            if (c == L'\n')
                lines.append(1, L'\r');
            lines.append(1, c);
        }
        const ByteString bytes = WideToMultiByte(lines, CP_UTF8);
        expected = bytes.size();
        whole =
            ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
    }
    if (!whole)
        return false;
    // A full disk can also cut a write short.
    if (written != expected) {
        ::SetLastError(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

WideString SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const ScopedLocal owner(buffer);
    WideString text = length ? WideString(buffer, length) : L"error " + FormatUnsigned(error);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text;
}

WideString Hex(DWORD value) {
    wchar_t digits[16];
    std::swprintf(digits, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return digits;
}
