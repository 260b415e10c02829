#include "export/TargetPath.h"
#include <vector>
#include "base/ScopedWin.h"

WideString ExtendedLengthPath(const WideString& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        return path;
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return WideString();
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) {
        ::SetLastError(length == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE);
        return WideString();
    }
    const WideString full(buffer.data(), length);
    // GetFullPathName makes a device name (NUL, CON) into \\.\NUL: a device, not a file.
    if (full.rfind(L"\\\\.\\", 0) == 0)
        return full;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

TargetKind InspectTarget(const WideString& path, DWORD& error) {
    error = ERROR_SUCCESS;
    // No access asked: only the handle's type and attributes are wanted, and nothing is
    // opened for writing.
    AutoCloseHandle probe(::CreateFileW(path.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!probe) {
        const DWORD failure = ::GetLastError();
        if (failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND)
            return TargetKind::NewOrRegular;
        error = failure;
        return TargetKind::Unknown;
    }
    if (::GetFileType(probe.Get()) != FILE_TYPE_DISK)
        return TargetKind::Device;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(probe.Get(), &info)) {
        error = ::GetLastError();
        return TargetKind::Unknown;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = ERROR_ACCESS_DENIED;
        return TargetKind::Folder;
    }
    // Windows refuses to replace a read-only file, but Wine (and CreateFile run as root
    // under it) does not: the writers refuse it themselves.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        error = ERROR_ACCESS_DENIED;
        return TargetKind::ReadOnly;
    }
    return TargetKind::NewOrRegular;
}

bool IsReadOnlyFile(const WideString& path) {
    if (path.rfind(L"\\\\.\\", 0) == 0)
        return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
