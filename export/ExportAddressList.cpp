#include "export/AddressListExport.h"
#include "app/ScopedWin.h"
#include "directory/AddressStore.h"

namespace {

constexpr uint64_t kProgressEvery = 100;

// The byte order mark and the header line, written together as the first 27 bytes.
constexpr char kHeader[] = "\xEF\xBB\xBF"
                           "TYPE|USERNAME|EMAIL|DN\r\n";
static_assert(sizeof(kHeader) - 1 == 27, "BOM and header line");

// A write counts only when it took every byte: a full disk can fail it or cut it short.
bool WriteAll(HANDLE file, const char* data, size_t size) {
    DWORD written = 0;
    return ::WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

void BuildLine(const AddressEntry& entry, WideString& line) {
    line.clear();
    line.append(entry.typeText).append(1, L'|');
    line.append(entry.userName).append(1, L'|');
    line.append(entry.email).append(1, L'|');
    line.append(entry.distinguishedName).append(L"\r\n");
}

enum class Outcome { Written, WriteFailed, Cleared };

// Writes the header and one line per entry, until the first write that fails or until a
// Connect dispatched by PumpMessages clears the store: a new read may refill it past the
// index reached, and the rest of the file would then come from another read.
Outcome WriteAddressList(const GApplication& app, const AddressStore& store, HANDLE file, HWND window) {
    if (!WriteAll(file, kHeader, sizeof(kHeader) - 1))
        return Outcome::WriteFailed;
    const uint64_t generation = store.Generation();
    const WideString total = app.FormatUnsigned(store.Count());
    WideString line;
    uint64_t batch = 0;
    // The count is asked afresh for every entry: a running read may append meanwhile.
    for (uint64_t i = 0; i < store.Count(); ++i) {
        const AddressEntry* entry = store.At(i);
        if (!entry)
            break;
        BuildLine(*entry, line);
        const ByteString bytes = app.WideToMultiByte(line, CP_UTF8);
        if (!WriteAll(file, bytes.data(), bytes.size()))
            return Outcome::WriteFailed;
        if (++batch == kProgressEvery) {
            batch = 0;
            app.PostStatusText(window, L"Exporting " + app.FormatUnsigned(i) + L" of " + total);
            app.PumpMessages();
            if (store.Generation() != generation)
                return Outcome::Cleared;
        }
    }
    return Outcome::Written;
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
