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

// CreateFileW takes a path of MAX_PATH characters or more only in its extended form.
WideString CreatablePath(const WideString& path) {
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    return path;
}

enum class Outcome { Written, WriteFailed, Cleared };

// Writes the header and one line per entry, until the first write that fails or until a
// Connect dispatched by PumpMessages clears the store: a new read may refill it past the
// index reached, and the rest of the file would then come from another read.
Outcome WriteAddressList(const GApplication& app, const AddressStore& store, HANDLE file, HWND window,
                         uint64_t& written) {
    written = 0;
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
        written = i + 1;
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

// The export's last word. A file written to its end is "Export complete", and when its
// entries are not a whole read the text says so and how many the file holds.
WideString FinalText(const GApplication& app, Outcome outcome, const AddressStore& store, uint64_t written) {
    if (outcome == Outcome::WriteFailed)
        return L"Error writing file.";
    if (outcome == Outcome::Cleared)
        return L"Export stopped: a new Connect cleared the list.";
    // The state before the count: a read that ends in between has appended its last entries.
    const ReadState state = store.State();
    if (state == ReadState::Partial)
        return L"Export complete: " + app.FormatUnsigned(written) +
               L" entries from a read that did not finish.";
    if (state == ReadState::Running || store.Count() > written)
        return L"Export complete: " + app.FormatUnsigned(written) +
               L" entries from a read that was still running.";
    return L"Export complete.";
}

} // namespace

void ExportAddressListWith(const GApplication& app, AddressStore& store, HWND window,
                           const FileChooser& chooseFile) {
    WideString path = app.ExpandEnvironment(L"%USERPROFILE%\\Desktop\\");
    if (!chooseFile(window, path, L"GAL.txt", L"Export results"))
        return;
    // CREATE_ALWAYS replaces an existing file without asking; readers may share it.
    AutoCloseHandle file(::CreateFileW(CreatablePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        app.PostStatusText(window, L"Error creating file.");
        return;
    }
    app.PostStatusText(window, L"Please wait while GAL is exported ...");
    uint64_t written = 0;
    const Outcome outcome = WriteAddressList(app, store, file.Get(), window, written);
    // What was written before a failure or a stop stays in the file.
    file.Close();
    app.PostStatusText(window, FinalText(app, outcome, store, written));
}

void GApplication::ExportAddressList(AddressStore& store, HWND window) const {
    ExportAddressListWith(
        *this, store, window,
        [](HWND owner, WideString& folder, const WideString& fileName, const WideString& title) {
            return GApplication().ChooseFile(owner, folder, fileName, title);
        });
}
