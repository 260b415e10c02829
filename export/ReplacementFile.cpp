#include "export/ReplacementFile.h"
#include <cwchar>
#include "export/TargetPath.h"

namespace {

// False with error set: the call's result kept for the caller's GetLastError.
bool Fail(DWORD error) {
    ::SetLastError(error);
    return false;
}

} // namespace

ReplacementFile::~ReplacementFile() {
    Discard();
}

bool ReplacementFile::Open(const WideString& target) {
    Discard();
    device = false;
    targetPath = ExtendedLengthPath(target);
    if (targetPath.empty())
        return Fail(::GetLastError());
    DWORD error = ERROR_SUCCESS;
    switch (InspectTarget(targetPath, error)) {
    case TargetKind::ReadOnly:
    case TargetKind::Folder:
    case TargetKind::Unknown:
        return Fail(error);
    case TargetKind::Device:
        device = true;
        file.Attach(::CreateFileW(targetPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file ? true : Fail(::GetLastError());
    case TargetKind::NewOrRegular:
        break;
    }
    const size_t slash = targetPath.find_last_of(L'\\');
    error = CreateTemporary(targetPath.substr(0, slash + 1));
    if (error == ERROR_SUCCESS)
        return true;
    Discard();
    return Fail(error);
}

DWORD ReplacementFile::CreateTemporary(const WideString& folder) {
    // A fresh name in the target's folder, so that the final move stays within one volume.
    // (GetTempFileName would take only folders shorter than MAX_PATH, and leave an unmarked
    // file behind between its creation and ours.)
    static LONG sequence = 0;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        wchar_t name[40];
        std::swprintf(name, 40, L"rmt%lX%lX.tmp", static_cast<unsigned long>(::GetCurrentProcessId()),
                      static_cast<unsigned long>(::InterlockedIncrement(&sequence) + ::GetTickCount()));
        temporaryPath = folder + name;
        // DELETE, for the deletion mark; FILE_SHARE_DELETE lets the move take the file
        // while this handle still holds it.
        file.Attach(::CreateFileW(temporaryPath.c_str(), GENERIC_WRITE | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file ? ERROR_SUCCESS : ::GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        temporaryPath.clear();
        return error;
    }
    // Where the file system cannot mark it, Discard deletes it by name instead: a process
    // that dies then still leaves it behind.
    MarkForDeletion(true);
    return ERROR_SUCCESS;
}

bool ReplacementFile::MarkForDeletion(bool deletion) {
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = deletion ? TRUE : FALSE;
    const bool set = ::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition,
                                                  sizeof(disposition)) != FALSE;
    if (set)
        marked = deletion;
    return set;
}

bool ReplacementFile::Commit() {
    if (device) {
        file.Close();
        return true;
    }
    if (!file || temporaryPath.empty())
        return Fail(ERROR_INVALID_HANDLE);
    DWORD error = ERROR_SUCCESS;
    // The data reaches the disk before the name does, so the target is whole at any moment.
    if (!::FlushFileBuffers(file.Get())) {
        error = ::GetLastError();
    } else {
        // Something took the target's place meanwhile (a device, a folder, a read-only
        // file): it is never replaced.
        const TargetKind now = InspectTarget(targetPath, error);
        if (now != TargetKind::NewOrRegular) {
            if (error == ERROR_SUCCESS)
                error = ERROR_ACCESS_DENIED;
        } else if (marked && !MarkForDeletion(false)) {
            error = ::GetLastError();
        } else if (!::MoveFileExW(temporaryPath.c_str(), targetPath.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = ::GetLastError();
            // Marked again, so that the close below removes it.
            MarkForDeletion(true);
        }
    }
    if (error != ERROR_SUCCESS) {
        Discard();
        return Fail(error);
    }
    file.Close();
    temporaryPath.clear();
    return true;
}

void ReplacementFile::Discard() {
    file.Close();
    if (!temporaryPath.empty() && !marked)
        ::DeleteFileW(temporaryPath.c_str());
    temporaryPath.clear();
    marked = false;
}
