#include "mapisim/TextFile.h"
#include <windows.h>
#include "base/ScopedWin.h"

namespace mapisim {

LineReader::LineReader(const std::string& text)
    : text(text), start(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0) {}

bool LineReader::Next(std::string& line) {
    if (start >= text.size())
        return false;
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
        end = text.size();
    line.assign(text, start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

ByteString ToUtf8(const WideString& text) {
    if (text.empty())
        return ByteString();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    ByteString bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                              nullptr, nullptr);
    return bytes;
}

WideString FromUtf8(const ByteString& text) {
    if (text.empty())
        return WideString();
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    WideString wide(size > 0 ? size : 0, L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

bool ReadWholeFile(const WideString& path, ByteString& bytes) {
    bytes.clear();
    AutoCloseHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char chunk[65536];
    DWORD got = 0;
    for (;;) {
        if (!::ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr))
            return false;
        if (got == 0)
            return true;
        bytes.append(chunk, got);
    }
}

bool WriteWholeFile(const WideString& path, const ByteString& bytes) {
    AutoCloseHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace mapisim
