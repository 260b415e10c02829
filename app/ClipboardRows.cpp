#include "app/ClipboardRows.h"
#include <cstring>
#include "base/ScopedWin.h"
#include "directory/AddressStore.h"
#include "export/ExportFormat.h"
#include "text/TextConversion.h"

namespace {

// Closes the clipboard on every path.
class OpenedClipboard {
public:
    // Another program may hold the clipboard open for a moment (viewers, managers, a
    // paste in progress): a few tries over about half a second.
    explicit OpenedClipboard(HWND owner) {
        for (int attempt = 0; attempt < 25 && !opened; ++attempt) {
            opened = ::OpenClipboard(owner) != FALSE;
            if (!opened)
                ::Sleep(20);
        }
    }
    ~OpenedClipboard() {
        if (opened)
            ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return opened; }

private:
    bool opened = false;
};

} // namespace

bool CopyRowsToClipboard(HWND owner, const AddressStore& store, const std::vector<uint64_t>& indices) {
    const ExportLines lines(ExportFormat::Tsv, store);
    const ByteString headerBytes = lines.Header();
    const WideString header = MultiByteToWide(std::string_view(headerBytes).substr(3), CP_UTF8);
    std::vector<const AddressEntry*> entries;
    entries.reserve(indices.size());
    for (uint64_t index : indices) {
        if (const AddressEntry* entry = store.At(index))
            entries.push_back(entry);
    }
    // Measured from the entries' texts and then written straight into the clipboard's one
    // block: a million rows are hundreds of megabytes, too much to hold twice or to build
    // line by line.
    size_t units = header.size() + 1;
    for (const AddressEntry* entry : entries)
        units += lines.TsvLength(*entry);
    ScopedGlobal block(::GlobalAlloc(GMEM_MOVEABLE, units * sizeof(wchar_t)));
    if (!block)
        return false;
    {
        const LockedGlobal locked(block.Get());
        auto* text = static_cast<wchar_t*>(locked.Get());
        if (!text)
            return false;
        std::memcpy(text, header.data(), header.size() * sizeof(wchar_t));
        wchar_t* at = text + header.size();
        for (const AddressEntry* entry : entries)
            at = lines.WriteTsv(*entry, at);
        *at = L'\0';
    }

    OpenedClipboard clipboard(owner);
    if (!clipboard || !::EmptyClipboard())
        return false;
    // The clipboard owns the block once it has taken it.
    if (!::SetClipboardData(CF_UNICODETEXT, block.Get()))
        return false;
    block.Detach();
    return true;
}
