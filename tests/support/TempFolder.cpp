#include "tests/support/TempFolder.h"
#include <windows.h>
#include "base/ScopedWin.h"

namespace {
void RemoveTree(const WideString& folder) {
    WIN32_FIND_DATAW data;
    ScopedFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const WideString name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const WideString full = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileW(full.c_str());
        } while (::FindNextFileW(find.Get(), &data));
    }
    find.Close();
    ::RemoveDirectoryW(folder.c_str());
}
} // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, base);
    static LONG counter = 0;
    for (;;) {
        path = WideString(base) + L"rmtest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(::InterlockedIncrement(&counter));
        if (::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path);
}

ByteString ReadFileBytes(const WideString& path) {
    AutoCloseHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ByteString bytes;
    if (!file)
        return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

bool WriteFileBytes(const WideString& path, const ByteString& bytes) {
    AutoCloseHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool WriteReadOnlyFile(const WideString& path, const ByteString& bytes) {
    return WriteFileBytes(path, bytes) && ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

bool IsReadOnly(const WideString& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}
