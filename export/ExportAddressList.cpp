#include "export/AddressListExport.h"
#include "base/ScopedWin.h"
#include "base/StatusMessage.h"
#include "directory/AddressStore.h"
#include "export/ChooseFile.h"
#include "export/EntryWriter.h"
#include "export/PumpMessages.h"
#include "export/ReplacementFile.h"
#include "export/TargetPath.h"
#include "text/Environment.h"
#include "text/TextConversion.h"

namespace {

// Writes the header and one line per entry, until the first write that fails or until a
// Connect dispatched by PumpMessages clears the store (Stopped): a new read may refill it
// past the index reached, and the rest of the file would then come from another read.
// With a pace, progress goes out after a batch only once that many milliseconds have passed
// since the last.
WriteResult WriteAddressList(const AddressStore& store, HANDLE file, HWND window,
                             const EntryWriterOptions& options = EntryWriterOptions(), DWORD paceMs = 0) {
    const uint64_t generation = store.Generation();
    const WideString total = FormatUnsigned(options.order ? options.order->size() : store.Count());
    DWORD last = ::GetTickCount();
    return WriteEntries(file, store, options, [&](uint64_t index) {
        if (paceMs != 0) {
            const DWORD now = ::GetTickCount();
            if (now - last < paceMs)
                return true;
            last = now;
        }
        PostStatusText(window, L"Exporting " + FormatUnsigned(index) + L" of " + total);
        PumpMessages();
        return store.Generation() == generation;
    });
}

// The export's last word. A file written to its end is "Export complete", and when its
// entries are not a whole read the text says so and how many the file holds.
WideString FinalText(const WriteResult& result, const AddressStore& store) {
    if (result.outcome == WriteOutcome::WriteFailed)
        return L"Error writing file.";
    if (result.outcome == WriteOutcome::Stopped)
        return L"Export stopped: a new Connect cleared the list.";
    // The state before the count: a read that ends in between has appended its last entries.
    const ReadState state = store.State();
    if (state == ReadState::Partial)
        return L"Export complete: " + FormatUnsigned(result.entries) +
               L" entries from a read that did not finish.";
    if (state == ReadState::Running || store.Count() > result.entries)
        return L"Export complete: " + FormatUnsigned(result.entries) +
               L" entries from a read that was still running.";
    return L"Export complete.";
}

constexpr DWORD kCsvProgressPaceMs = 50;

} // namespace

WideString DefaultExportFolder() {
    return ExpandEnvironment(L"%USERPROFILE%\\Desktop\\");
}

void ExportAddressListWith(AddressStore& store, HWND window, const FileChooser& chooseFile) {
    WideString path = DefaultExportFolder();
    if (!chooseFile(window, path, L"GAL.txt", L"Export results"))
        return;
    // CREATE_ALWAYS replaces an existing file without asking; readers may share it. A
    // read-only file is refused as Windows refuses it (Wine run as root would replace it).
    const WideString target = ExtendedLengthPath(path);
    AutoCloseHandle file;
    if (!target.empty() && !IsReadOnlyFile(target))
        file.Attach(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        PostStatusText(window, L"Error creating file.");
        return;
    }
    PostStatusText(window, L"Please wait while GAL is exported ...");
    const WriteResult result = WriteAddressList(store, file.Get(), window);
    // What was written before a failure or a stop stays in the file.
    file.Close();
    PostStatusText(window, FinalText(result, store));
}

void ExportAddressList(AddressStore& store, HWND window) {
    ExportAddressListWith(store, window, ChooseFile);
}

bool ExportCsvWith(AddressStore& store, HWND window, const std::vector<uint64_t>* order, WideString& path,
                   const FileChooser& chooseFile) {
    if (!chooseFile(window, path, L"GAL.csv", L"Export results"))
        return false;
    ReplacementFile file;
    if (!file.Open(path)) {
        PostStatusText(window, L"Error creating file.");
        return true;
    }
    PostStatusText(window, L"Please wait while GAL is exported ...");
    EntryWriterOptions options;
    options.format = ExportFormat::Csv;
    options.order = order;
    // Only a whole file counts, so it need not grow line by line. A status text and a
    // dispatch are server round trips under Wine (40 to 75 us each), as costly as the
    // writing itself at 10,000 batches: progress at most every 50 ms, as the reader's.
    options.bufferBytes = kWholeFileBuffer;
    WriteResult result = WriteAddressList(store, file.Handle(), window, options, kCsvProgressPaceMs);
    // Only a whole file takes the previous one's place.
    if (result.outcome == WriteOutcome::Written && !file.Commit())
        result.outcome = WriteOutcome::WriteFailed;
    PostStatusText(window, FinalText(result, store));
    return true;
}
