#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include "base/ScopedWin.h"
#include "export/AddressListExport.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

const WideString kPleaseWait = L"Please wait while GAL is exported ...";
const WideString kComplete = L"Export complete.";
const WideString kCreateError = L"Error creating file.";
const WideString kWriteError = L"Error writing file.";

using Texts = std::vector<WideString>;

// Every record must be a STATUS_TEXT with its payload; returns their texts in order.
Texts StatusTexts(const MessageRecorder& recorder) {
    for (const MessageRecorder::Record& record : recorder.Records()) {
        EXPECT_EQ(record.code, STATUS_TEXT);
        EXPECT_TRUE(record.hadPayload);
    }
    EXPECT_EQ(recorder.PayloadsFreed(), static_cast<int>(recorder.Records().size()));
    return recorder.Texts(STATUS_TEXT);
}

bool FileExists(const WideString& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(ExportFile, EmptyStoreWritesJustTheHeader) {
    TempFolder folder;
    AddressStore store;
    MessageRecorder recorder;
    ExportTo(store, recorder, folder.File(L"GAL.txt"));
    const ByteString bytes = ReadFileBytes(folder.File(L"GAL.txt"));
    EXPECT_EQ(bytes.size(), 27u);
    EXPECT_EQ(bytes, kExportHeader);
    EXPECT_EQ(StatusTexts(recorder), (Texts{kPleaseWait, kComplete}));
}

TEST(ExportFile, TextsAreWrittenAsStoredInUtf8) {
    TempFolder folder;
    AddressStore store;
    store.Append(
        MakeEntry(L"mailuser", L"Zo\u00EB \u00C5ngstr\u00F6m", L"zoe@example.com", L"/o=Org/cn=Zo\u00EB"));
    // U+1F600 as its surrogate pair, and CJK in the address.
    store.Append(MakeEntry(L"remote", L"Smile \xD83D\xDE00", L"\u4F60\u597D@example.cn", L"/o=Org/cn=x"));
    store.Append(MakeEntry(L"dist list", L"a|b", L"line1\r\nline2", L"x\ny"));
    store.Append(MakeEntry(L"", L"", L"", L""));
    store.Append(MakeEntry(L"unknown", L"", L"only@example.com", L""));
    MessageRecorder recorder;
    ExportTo(store, recorder, folder.File(L"GAL.txt"));

    const ByteString expected =
        kExportHeader + "mailuser|Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m|zoe@example.com|/o=Org/cn=Zo\xC3\xAB\r\n"
                        "remote|Smile \xF0\x9F\x98\x80|\xE4\xBD\xA0\xE5\xA5\xBD@example.cn|/o=Org/cn=x\r\n"
                        "dist list|a|b|line1\r\nline2|x\ny\r\n"
                        "|||\r\n"
                        "unknown||only@example.com|\r\n";
    EXPECT_EQ(ReadFileBytes(folder.File(L"GAL.txt")), expected);
    EXPECT_EQ(StatusTexts(recorder), (Texts{kPleaseWait, kComplete}));
}

TEST(ExportFile, ProgressEveryHundredEntries) {
    struct Case {
        int count;
        Texts progress;
    };
    const Case cases[] = {
        {0, {}},
        {99, {}},
        {100, {L"Exporting 99 of 100"}},
        {250, {L"Exporting 99 of 250", L"Exporting 199 of 250"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        TempFolder folder;
        AddressStore store;
        AppendNumbered(store, 0, c.count);
        MessageRecorder recorder;
        ExportTo(store, recorder, folder.File(L"GAL.txt"));

        Texts expected{kPleaseWait};
        expected.insert(expected.end(), c.progress.begin(), c.progress.end());
        expected.push_back(kComplete);
        EXPECT_EQ(StatusTexts(recorder), expected);

        const std::vector<ByteString> lines = EntryLines(ReadFileBytes(folder.File(L"GAL.txt")));
        ASSERT_EQ(lines.size(), static_cast<size_t>(c.count));
        for (int k = 0; k < c.count; ++k)
            ASSERT_EQ(lines[k], NumberedLine(k));
    }
}

TEST(ExportFile, ExistingFileIsReplacedWithoutAQuestion) {
    TempFolder folder;
    const WideString path = folder.File(L"GAL.txt");
    ASSERT_TRUE(WriteFileBytes(path, ByteString(5000, 'x')));
    AddressStore store;
    AppendNumbered(store, 0, 1);
    MessageRecorder recorder;
    ExportTo(store, recorder, path);
    EXPECT_EQ(ReadFileBytes(path), kExportHeader + NumberedLine(0));
    EXPECT_EQ(StatusTexts(recorder), (Texts{kPleaseWait, kComplete}));
}

TEST(ExportFile, FilesThatCannotBeCreated) {
    TempFolder folder;
    AddressStore store;
    AppendNumbered(store, 0, 150);
    {
        SCOPED_TRACE("folder that does not exist");
        const WideString path = folder.File(L"missing\\GAL.txt");
        MessageRecorder recorder;
        ExportTo(store, recorder, path);
        EXPECT_FALSE(FileExists(path));
        EXPECT_EQ(StatusTexts(recorder), (Texts{kCreateError}));
    }
    {
        SCOPED_TRACE("file held open without write sharing");
        const WideString path = folder.File(L"held.txt");
        ASSERT_TRUE(WriteFileBytes(path, "keep me"));
        AutoCloseHandle holder(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        MessageRecorder recorder;
        ExportTo(store, recorder, path);
        EXPECT_EQ(StatusTexts(recorder), (Texts{kCreateError}));
        holder.Close();
        EXPECT_EQ(ReadFileBytes(path), "keep me");
    }
}

// Windows refuses to replace a read-only file, and Wine run as root does not: both saves
// refuse it themselves, keeping the file and its attribute.
TEST(ExportFile, ReadOnlyFileIsNeverReplaced) {
    TempFolder folder;
    const WideString path = folder.File(L"ro.txt");
    ASSERT_TRUE(WriteReadOnlyFile(path, "keep me"));
    AddressStore store;
    AppendNumbered(store, 0, 150);
    for (const bool csv : {false, true}) {
        SCOPED_TRACE(csv ? "Save as CSV" : "Save to txt file");
        MessageRecorder recorder;
        if (csv) {
            WideString chosen = folder.Path();
            ExportCsvWith(store, recorder.Window(), nullptr, chosen,
                          [&](HWND, WideString& folderOut, const WideString&, const WideString&) {
                              folderOut = path;
                              return true;
                          });
            recorder.PumpPending();
        } else {
            ExportTo(store, recorder, path);
        }
        EXPECT_EQ(StatusTexts(recorder), (Texts{kCreateError}));
        EXPECT_EQ(ReadFileBytes(path), "keep me");
        EXPECT_TRUE(IsReadOnly(path));
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ExportFile, FullDiskIsReportedAndStopsTheExport) {
    // Wine maps Z: to the Unix root; every write to /dev/full fails with ERROR_DISK_FULL.
    ASSERT_TRUE(FileExists(L"Z:\\dev")) << "Z: is not the Unix root";
    const WideString full = L"Z:\\dev\\full";
    AddressStore store;
    AppendNumbered(store, 0, 250);
    MessageRecorder recorder;
    ExportTo(store, recorder, full);
    // The header write fails, so no entry is written and no progress follows.
    EXPECT_EQ(StatusTexts(recorder), (Texts{kPleaseWait, kWriteError}));
}

TEST(ExportFile, WriteFailingMidwayStopsAtThatLine) {
    // A pipe whose reader takes some bytes and goes away: the writes succeed until the
    // pipe is full and fail from then on, well before the hundredth entry.
    const WideString name = L"\\\\.\\pipe\\rostermint-export-" + std::to_wstring(::GetCurrentProcessId());
    AutoCloseHandle pipe(::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                            0, 4096, 0, nullptr));
    ASSERT_TRUE(pipe);
    AddressStore store;
    const WideString longName(1000, L'n');
    for (int k = 0; k < 250; ++k)
        store.Append(MakeEntry(L"mailuser", longName, L"e", L"d"));
    ByteString received;
    std::thread reader([&] {
        ::ConnectNamedPipe(pipe.Get(), nullptr);
        char chunk[512];
        DWORD got = 0;
        while (received.size() < 3000 && ::ReadFile(pipe.Get(), chunk, sizeof(chunk), &got, nullptr) &&
               got > 0)
            received.append(chunk, got);
        pipe.Close();
    });
    MessageRecorder recorder;
    ExportTo(store, recorder, name);
    // Should the export not have connected, this connection releases the waiting reader.
    AutoCloseHandle(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    reader.join();
    EXPECT_EQ(StatusTexts(recorder), (Texts{kPleaseWait, kWriteError}));
    EXPECT_EQ(received.compare(0, kExportHeader.size(), kExportHeader), 0);
}

TEST(ExportFile, ExportWhileTheStoreGrows) {
    TempFolder folder;
    AddressStore store;
    const int initial = 500;
    const int appended = 20000;
    AppendNumbered(store, 0, initial);
    store.SetState(ReadState::Running);
    std::atomic<bool> started{false};
    std::thread appender([&] {
        started = true;
        for (int k = initial; k < initial + appended; ++k)
            AppendNumbered(store, k, 1);
    });
    while (!started)
        ::Sleep(0);
    MessageRecorder recorder;
    ExportTo(store, recorder, folder.File(L"GAL.txt"));
    appender.join();

    const std::vector<ByteString> lines = EntryLines(ReadFileBytes(folder.File(L"GAL.txt")));
    ASSERT_GE(lines.size(), static_cast<size_t>(initial));
    ASSERT_LE(lines.size(), static_cast<size_t>(initial + appended));
    for (size_t k = 0; k < lines.size(); ++k)
        ASSERT_EQ(lines[k], NumberedLine(static_cast<int>(k))) << "line " << k;

    const Texts texts = StatusTexts(recorder);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front(), kPleaseWait);
    EXPECT_EQ(texts.back(), L"Export complete: " + std::to_wstring(lines.size()) +
                                L" entries from a read that was still running.");
    EXPECT_EQ(texts.size() - 2, lines.size() / 100) << "one progress text per hundred lines written";
    // N is the count when the loop began; the progress numbers may pass it.
    const WideString ofTotal = texts.size() > 2 ? texts[1].substr(texts[1].find(L" of ")) : L"";
    for (size_t t = 1; t + 1 < texts.size(); ++t)
        EXPECT_EQ(texts[t], L"Exporting " + std::to_wstring(t * 100 - 1) + ofTotal);
}

TEST(ExportFile, QuitRequestDuringTheExportIsPutBack) {
    TempFolder folder;
    AddressStore store;
    AppendNumbered(store, 0, 250);
    MessageRecorder recorder;
    ::PostQuitMessage(7);
    RunExport(store, recorder.Window(), folder.File(L"GAL.txt"));

    MSG quit;
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    recorder.PumpPending();
    EXPECT_EQ(StatusTexts(recorder),
              (Texts{kPleaseWait, L"Exporting 99 of 250", L"Exporting 199 of 250", kComplete}));
    EXPECT_EQ(EntryLines(ReadFileBytes(folder.File(L"GAL.txt"))).size(), 250u);
}

// Stands in for a Connect dispatched in the middle of an export: clears the store when it
// receives its message, and a new read refills it past the export's index at once.
class StoreClearer {
public:
    explicit StoreClearer(AddressStore& store) : store(store) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RostermintTestStoreClearer";
        ::RegisterClassExW(&wc);
        window.Attach(::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        wc.hInstance, nullptr));
        ::SetWindowLongPtrW(window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    HWND Window() const { return window.Get(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<StoreClearer*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_APP) {
            self->store.Clear();
            AppendNumbered(self->store, 1000, 300);
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    AddressStore& store;
    ScopedWindow window;
};

TEST(ExportFile, ConnectDuringTheExportStopsItWithoutMixingReads) {
    TempFolder folder;
    AddressStore store;
    AppendNumbered(store, 0, 250);
    StoreClearer clearer(store);
    MessageRecorder recorder;
    ASSERT_TRUE(::PostMessageW(clearer.Window(), WM_APP, 0, 0));
    ExportTo(store, recorder, folder.File(L"GAL.txt"));

    // Messages are dispatched only after every hundredth entry, so exactly 100 were written,
    // all of the first read.
    const std::vector<ByteString> lines = EntryLines(ReadFileBytes(folder.File(L"GAL.txt")));
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines.back(), NumberedLine(99));
    EXPECT_EQ(store.Count(), 300u);
    EXPECT_EQ(StatusTexts(recorder), (Texts{kPleaseWait, L"Exporting 99 of 250",
                                            L"Export stopped: a new Connect cleared the list."}));
}

} // namespace
