#pragma once
#include "base/Strings.h"

// A fresh folder under %TEMP% for one test, removed with its files afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, without a trailing backslash.
    const WideString& Path() const { return path; }
    WideString File(const WideString& name) const { return path + L"\\" + name; }

private:
    WideString path;
};

// Reads a whole file as bytes; empty when it cannot be read.
ByteString ReadFileBytes(const WideString& path);
// Writes bytes to a file, replacing it; false on failure.
bool WriteFileBytes(const WideString& path, const ByteString& bytes);
// Writes the file, then gives it the read-only attribute; false on failure.
bool WriteReadOnlyFile(const WideString& path, const ByteString& bytes);
// The file has the read-only attribute.
bool IsReadOnly(const WideString& path);
