#include <gtest/gtest.h>
#include "export/ReplacementFile.h"
#include "tests/support/TempFolder.h"

namespace {

bool Write(HANDLE file, const ByteString& bytes) {
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The folder's file names, so that a left-over temporary file shows.
std::vector<WideString> Files(const TempFolder& folder) {
    std::vector<WideString> names;
    WIN32_FIND_DATAW found;
    ScopedFindHandle search(::FindFirstFileW(folder.File(L"*").c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = ::FindNextFileW(search.Get(), &found))
        if (found.cFileName[0] != L'.')
            names.push_back(found.cFileName);
    return names;
}

TEST(ReplacementFile, ReplacesOnCommitAndKeepsThePreviousFileOtherwise) {
    TempFolder folder;
    const WideString target = folder.File(L"GAL.txt");
    ASSERT_TRUE(WriteFileBytes(target, "previous\r\n"));
    {
        ReplacementFile file;
        ASSERT_TRUE(file.Open(target));
        EXPECT_FALSE(file.IsDevice());
        ASSERT_TRUE(Write(file.Handle(), "half a fi"));
        EXPECT_EQ(ReadFileBytes(target), "previous\r\n");
    } // dropped without Commit: a failed run
    EXPECT_EQ(ReadFileBytes(target), "previous\r\n");
    EXPECT_EQ(Files(folder), std::vector<WideString>{L"GAL.txt"});

    ReplacementFile file;
    ASSERT_TRUE(file.Open(target));
    ASSERT_TRUE(Write(file.Handle(), "new"));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(Files(folder), std::vector<WideString>{L"GAL.txt"});

    ReplacementFile fresh;
    ASSERT_TRUE(fresh.Open(folder.File(L"new.csv")));
    ASSERT_TRUE(fresh.Commit());
    EXPECT_EQ(ReadFileBytes(folder.File(L"new.csv")), "");

    ReplacementFile intoFolder;
    EXPECT_FALSE(intoFolder.Open(folder.Path()));
    ReplacementFile missingFolder;
    EXPECT_FALSE(missingFolder.Open(folder.File(L"no such folder\\GAL.txt")));
}

// Windows refuses to replace a read-only file and Wine does not: the writer refuses it
// itself. Paths of any length go through their \\?\ form.
TEST(ReplacementFile, ReadOnlyTargetsAreKeptAndLongPathsWritten) {
    TempFolder folder;
    const WideString readOnly = folder.File(L"ro.txt");
    ASSERT_TRUE(WriteReadOnlyFile(readOnly, "kept\r\n"));
    {
        ReplacementFile file;
        EXPECT_FALSE(file.Open(readOnly));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(ReadFileBytes(readOnly), "kept\r\n");
    EXPECT_TRUE(IsReadOnly(readOnly));
    EXPECT_EQ(Files(folder), std::vector<WideString>{L"ro.txt"});
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    const WideString outer = L"\\\\?\\" + folder.File(WideString(130, L'd'));
    const WideString inner = outer + L"\\" + WideString(130, L'e');
    ASSERT_TRUE(::CreateDirectoryW(outer.c_str(), nullptr) && ::CreateDirectoryW(inner.c_str(), nullptr));
    const WideString target = inner.substr(4) + L"\\GAL.txt";
    ASSERT_GE(target.size(), 300u);
    for (const char* bytes : {"first", "second"}) {
        ReplacementFile file;
        ASSERT_TRUE(file.Open(target)) << ::GetLastError();
        ASSERT_TRUE(Write(file.Handle(), bytes));
        ASSERT_TRUE(file.Commit()) << ::GetLastError();
        EXPECT_EQ(ReadFileBytes(L"\\\\?\\" + target), bytes);
    }
    EXPECT_TRUE(::DeleteFileW((inner + L"\\GAL.txt").c_str()));
    EXPECT_TRUE(::RemoveDirectoryW(inner.c_str()) && ::RemoveDirectoryW(outer.c_str())) << "no file left";
}

// Wine maps Z:\dev\full to the machine's /dev/full: a real full disk. A rename over it
// would replace the machine's device with a regular file.
TEST(ReplacementFile, DevicesAreWrittenDirectlyAndNeverRenamedOver) {
    ReplacementFile full;
    ASSERT_TRUE(full.Open(L"Z:\\dev\\full"));
    EXPECT_TRUE(full.IsDevice());
    EXPECT_FALSE(Write(full.Handle(), "entries"));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_TRUE(full.Commit());
    AutoCloseHandle probe(::CreateFileW(L"Z:\\dev\\full", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(probe);
    EXPECT_EQ(::GetFileType(probe.Get()), static_cast<DWORD>(FILE_TYPE_CHAR))
        << "/dev/full is no device any more!";

    ReplacementFile nul;
    ASSERT_TRUE(nul.Open(L"NUL"));
    EXPECT_TRUE(nul.IsDevice());
    EXPECT_TRUE(Write(nul.Handle(), "entries"));
    EXPECT_TRUE(nul.Commit());
}

} // namespace
