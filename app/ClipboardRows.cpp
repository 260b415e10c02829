#include "app/ClipboardRows.h"
#include <cstring>
#include "base/ScopedWin.h"
#include "directory/AddressStore.h"
#include "export/ExportFormat.h"
#include "text/TextConversion.h"

namespace {

// Calls each with every line of the text, header first.
template <typename Each>
void ForEachLine(const AddressStore& store, const std::vector<uint64_t>& indices, Each each) {
    const ByteString header = ExportHeader(ExportFormat::Tsv);
    WideString line = MultiByteToWide(std::string_view(header).substr(3), CP_UTF8);
    each(line);
    for (uint64_t index : indices) {
        if (const AddressEntry* entry = store.At(index)) {
            BuildExportLine(ExportFormat::Tsv, *entry, line);
            each(line);
        }
    }
}

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
    // Measured first and then written straight into the clipboard's block: a million rows
    // are hundreds of megabytes, too much to hold twice.
    size_t units = 1;
    ForEachLine(store, indices, [&](const WideString& line) { units += line.size(); });
    ScopedGlobal block(::GlobalAlloc(GMEM_MOVEABLE, units * sizeof(wchar_t)));
    if (!block)
        return false;
    {
        const LockedGlobal locked(block.Get());
        auto* text = static_cast<wchar_t*>(locked.Get());
        if (!text)
            return false;
        size_t at = 0;
        ForEachLine(store, indices, [&](const WideString& line) {
            std::memcpy(text + at, line.data(), line.size() * sizeof(wchar_t));
            at += line.size();
        });
        text[at] = L'\0';
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
