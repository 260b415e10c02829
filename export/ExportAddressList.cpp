#include "export/AddressListExport.h"
#include "app/ScopedWin.h"
#include "directory/AddressStore.h"
#include "export/EntryWriter.h"
#include "export/ReplacementFile.h"

namespace {

enum class Outcome { Written, WriteFailed, Cleared };

// Writes the header and one line per entry, until the first write that fails or until a
// Connect dispatched by PumpMessages clears the store: a new read may refill it past the
// index reached, and the rest of the file would then come from another read.
Outcome WriteAddressList(const GApplication& app, const AddressStore& store, HANDLE file, HWND window,
                         const EntryWriterOptions& options = EntryWriterOptions()) {
    const uint64_t generation = store.Generation();
    const WideString total = app.FormatUnsigned(options.order ? options.order->size() : store.Count());
    const WriteResult result = WriteEntries(file, store, options, [&](uint64_t index) {
        app.PostStatusText(window, L"Exporting " + app.FormatUnsigned(index) + L" of " + total);
        app.PumpMessages();
        return store.Generation() == generation;
    });
    switch (result.outcome) {
    case WriteOutcome::Written:
        return Outcome::Written;
    case WriteOutcome::WriteFailed:
        return Outcome::WriteFailed;
    case WriteOutcome::Stopped:
        break;
    }
    return Outcome::Cleared;
}

const wchar_t* OutcomeText(Outcome outcome) {
    switch (outcome) {
    case Outcome::Written:
        return L"Export complete.";
    case Outcome::WriteFailed:
        return L"Error writing file.";
    default:
        return L"Export stopped: a new Connect cleared the list.";
    }
}

} // namespace

void ExportAddressListWith(const GApplication& app, AddressStore& store, HWND window,
                           const FileChooser& chooseFile) {
    WideString path = app.ExpandEnvironment(L"%USERPROFILE%\\Desktop\\");
    if (!chooseFile(window, path, L"GAL.txt", L"Export results"))
        return;
    // CREATE_ALWAYS replaces an existing file without asking; readers may share it.
    AutoCloseHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        app.PostStatusText(window, L"Error creating file.");
        return;
    }
    app.PostStatusText(window, L"Please wait while GAL is exported ...");
    const Outcome outcome = WriteAddressList(app, store, file.Get(), window);
    // What was written before a failure or a stop stays in the file.
    file.Close();
    app.PostStatusText(window, OutcomeText(outcome));
}

void GApplication::ExportAddressList(AddressStore& store, HWND window) const {
    ExportAddressListWith(
        *this, store, window,
        [](HWND owner, WideString& folder, const WideString& fileName, const WideString& title) {
            return GApplication().ChooseFile(owner, folder, fileName, title);
        });
}

bool ExportCsvWith(const GApplication& app, AddressStore& store, HWND window,
                   const std::vector<uint64_t>* order, WideString& path, const FileChooser& chooseFile) {
    if (!chooseFile(window, path, L"GAL.csv", L"Export results"))
        return false;
    ReplacementFile file;
    if (!file.Open(path)) {
        app.PostStatusText(window, L"Error creating file.");
        return true;
    }
    app.PostStatusText(window, L"Please wait while GAL is exported ...");
    EntryWriterOptions options;
    options.format = ExportFormat::Csv;
    options.order = order;
    Outcome outcome = WriteAddressList(app, store, file.Handle(), window, options);
    // Only a whole file takes the previous one's place.
    if (outcome == Outcome::Written && !file.Commit())
        outcome = Outcome::WriteFailed;
    app.PostStatusText(window, OutcomeText(outcome));
    return true;
}
