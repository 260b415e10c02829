#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>
#include "base/ScopedWin.h"
#include "directory/ColumnCatalogue.h"
#include "directory/EntryKind.h"
#include "base/Strings.h"

// A text held by the store: zero-terminated, with its length kept just before its first
// character, so an entry carries one pointer per text. It stays valid until the store's
// next Clear. A default one is the empty text.
class StoredText {
public:
    StoredText() noexcept;

    const wchar_t* c_str() const noexcept { return text; }
    const wchar_t* data() const noexcept { return text; }
    size_t size() const noexcept;
    size_t length() const noexcept { return size(); }
    bool empty() const noexcept { return text[0] == L'\0'; }
    std::wstring_view view() const noexcept { return {text, size()}; }
    size_t find(wchar_t character, size_t from = 0) const noexcept { return view().find(character, from); }
    size_t find(std::wstring_view part, size_t from = 0) const noexcept { return view().find(part, from); }
    operator std::wstring_view() const noexcept { return view(); }
    operator WideString() const { return WideString(text, size()); }

    friend bool operator==(const StoredText& a, const StoredText& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const StoredText& a, std::wstring_view b) noexcept { return a.view() == b; }
    friend bool operator==(std::wstring_view a, const StoredText& b) noexcept { return a == b.view(); }
    friend bool operator!=(const StoredText& a, const StoredText& b) noexcept { return !(a == b); }
    friend bool operator!=(const StoredText& a, std::wstring_view b) noexcept { return !(a == b); }
    friend bool operator!=(std::wstring_view a, const StoredText& b) noexcept { return !(a == b); }

private:
    friend class AddressStore;
    explicit StoredText(const wchar_t* characters) noexcept : text(characters) {}

    const wchar_t* text;
};

// One Global Address List entry; complete when appended and never changed after. The
// texts come first so that the small fields pack behind them (48 bytes in the 64-bit build).
struct AddressEntry {
    StoredText typeText;
    StoredText userName;
    StoredText email;
    StoredText distinguishedName;
    // 0 mail user, 1 distribution list, 2 remote mail user, 3 forum, 4 agent, 5 unknown;
    // also the entry's image index in the list view.
    int32_t typeCode = 0;
    // PR_DISPLAY_TYPE_EX as the directory gave it (none when missing), and the detailed
    // kind it and the display type make.
    std::optional<int32_t> displayTypeEx;
    EntryKind kind = EntryKind::Unknown;
};

// How far the read that fills the store got: still running, through its whole table, or
// ended before that (a failure or a stop). An export tells the user which.
enum class ReadState { Running, Whole, Partial };

// What Append takes: the entry's values, and views of texts that the store copies. A type
// text equal to the type's own text is shared, not copied.
struct NewEntry {
    EntryType type = EntryType::Unknown;
    EntryKind kind = EntryKind::Unknown;
    std::optional<int32_t> displayTypeEx;
    std::wstring_view typeText;
    std::wstring_view userName;
    std::wstring_view email;
    std::wstring_view distinguishedName;
    // One text per detail the store keeps (SetDetails), in the catalogue's order; null when
    // it keeps none.
    const std::wstring_view* details = nullptr;
};

// The entries of the latest read, in arrival order. The reader thread appends while the
// UI thread counts, displays and exports; every operation takes the lock for its own body.
// Entries and their texts live in large blocks that belong to the run: an entry (and its
// texts) stays put while the store grows, until the next Clear releases every block.
class AddressStore {
public:
    AddressStore() = default;
    AddressStore(const AddressStore&) = delete;
    AddressStore& operator=(const AddressStore&) = delete;

    // Throws std::bad_alloc when a block cannot be had; the store is unchanged then.
    void Append(const NewEntry& entry);
    uint64_t Count() const;
    // Null for an index at or beyond Count.
    const AddressEntry* At(uint64_t index) const;
    void Clear();
    // How many times Clear has run: a reader of the store can tell that the entries it
    // went through so far are not the ones the store holds now.
    uint64_t Generation() const;
    // Whole for a store no read has filled yet.
    ReadState State() const;
    void SetState(ReadState value);
    // A test's way to run out of memory: from this many entries on, Append throws
    // std::bad_alloc as when a block cannot be had. Clear keeps the limit.
    void FailAppendsFrom(uint64_t entries);
    // Answers LVN_GETDISPINFOW with pointers into the entry's own texts.
    void FillDisplayInfo(LVITEMW& item) const;

    // The directory details the entries carry, chosen while the store is empty (false
    // otherwise). The texts of those details follow each entry in its block, so a store
    // without details keeps its entries as small as ever.
    bool SetDetails(details::DetailSet chosen);
    details::DetailSet Details() const;
    // How many details that is.
    size_t DetailCount() const;
    // The entry's text of catalogue detail `index`; null when the store keeps no such detail.
    const StoredText* DetailText(const AddressEntry& entry, int index) const;
    // The entry's text in a catalogue column (columns::kColumns), zero-terminated; empty for
    // a detail the store does not keep.
    std::wstring_view ColumnText(const AddressEntry& entry, int columnId) const;
    // The catalogue column shown in list column `listColumn` (the four, then the details the
    // store keeps); -1 past the last.
    int ListColumnId(int listColumn) const;

    // Entries per entry block, and the bytes of a text block; a text too large for a
    // quarter of a block gets a block of its own.
    static constexpr uint64_t kEntriesPerBlock = 16384;
    static constexpr size_t kTextBlockBytes = size_t(1) << 20;

private:
    const AddressEntry* EntryAt(uint64_t index) const;
    // Bytes from one entry to the next in a block: the entry and its detail texts.
    size_t Stride() const { return sizeof(AddressEntry) + DetailSlots() * sizeof(StoredText); }
    size_t DetailSlots() const { return listColumns.count - columns::kListColumns; }
    // Room for `bytes` in the current text block, or in a new one.
    char* TextRoom(size_t bytes);
    StoredText CopyText(std::wstring_view text);

    mutable CriticalSection lock;
    std::vector<std::unique_ptr<char[]>> blocks; // every block of the run, entries' and texts'
    std::vector<char*> entryBlocks;
    details::DetailSet detailSet = 0;
    // The list's columns with those details, made once for every display request.
    columns::ColumnList listColumns = columns::ListColumns(0);
    uint64_t count = 0;
    char* textNext = nullptr;
    char* textEnd = nullptr;
    uint64_t generation = 0;
    ReadState state = ReadState::Whole;
    uint64_t appendLimit = UINT64_MAX;
};
