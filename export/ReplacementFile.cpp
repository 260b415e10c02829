#include "export/ReplacementFile.h"
#include <vector>

namespace {

// The full path of target and its folder (with its last backslash); false when the path
// cannot be made whole.
bool SplitFullPath(const WideString& target, WideString& full, WideString& folder) {
    const DWORD needed = ::GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length =
        ::GetFullPathNameW(target.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size())
        return false;
    full.assign(buffer.data(), length);
    const size_t slash = full.find_last_of(L'\\');
    if (slash == WideString::npos) {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    folder = full.substr(0, slash + 1);
    return true;
}

// What the target is now: an existing non-disk object (a device), a folder, a regular file
// or a name that does not exist yet, or something that cannot be looked at (GetLastError
// says why), which is never replaced either.
enum class TargetKind { NewOrRegular, Device, Folder, Unknown };

TargetKind KindOf(const WideString& path) {
    // No access asked: only the handle's type is wanted, and nothing is opened for writing.
    AutoCloseHandle probe(::CreateFileW(path.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!probe) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TargetKind::NewOrRegular
                                                                              : TargetKind::Unknown;
    }
    if (::GetFileType(probe.Get()) != FILE_TYPE_DISK)
        return TargetKind::Device;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (::GetFileInformationByHandle(probe.Get(), &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return TargetKind::Folder;
    return TargetKind::NewOrRegular;
}

} // namespace

ReplacementFile::~ReplacementFile() {
    Discard();
}

bool ReplacementFile::Open(const WideString& target) {
    Discard();
    device = false;
    switch (KindOf(target)) {
    case TargetKind::Folder:
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    case TargetKind::Unknown:
        return false;
    case TargetKind::Device:
        device = true;
        targetPath = target;
        file.Attach(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file);
    case TargetKind::NewOrRegular:
        break;
    }
    WideString folder;
    if (!SplitFullPath(target, targetPath, folder))
        return false;
    wchar_t name[MAX_PATH + 1] = {};
    // Makes a file of a fresh name in the target's folder, so the final move stays within
    // one volume.
    if (folder.size() >= MAX_PATH - 14 || !::GetTempFileNameW(folder.c_str(), L"rmt", 0, name))
        return false;
    temporaryPath = name;
    file.Attach(::CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return true;
    const DWORD error = ::GetLastError();
    Discard();
    ::SetLastError(error);
    return false;
}

bool ReplacementFile::Commit() {
    if (device) {
        file.Close();
        return true;
    }
    if (!file || temporaryPath.empty()) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    // The data reaches the disk before the name does, so the target is whole at any moment.
    bool moved = ::FlushFileBuffers(file.Get()) != FALSE;
    // Something put a device in the target's place meanwhile: never rename over it.
    if (moved) {
        const TargetKind now = KindOf(targetPath);
        if (now == TargetKind::Device || now == TargetKind::Folder)
            ::SetLastError(ERROR_ACCESS_DENIED);
        moved = now == TargetKind::NewOrRegular;
    }
    file.Close();
    moved = moved && ::MoveFileExW(temporaryPath.c_str(), targetPath.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!moved) {
        const DWORD error = ::GetLastError();
        Discard();
        ::SetLastError(error);
        return false;
    }
    temporaryPath.clear();
    return true;
}

void ReplacementFile::Discard() {
    file.Close();
    if (!temporaryPath.empty()) {
        ::DeleteFileW(temporaryPath.c_str());
        temporaryPath.clear();
    }
}
