#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <memory>
#include <vector>
#include <optional>
#include "app/ScopedWin.h"
#include "directory/EntryKind.h"
#include "text/Strings.h"

// One Global Address List entry; complete when appended and never changed after.
struct AddressEntry {
    // 0 mail user, 1 distribution list, 2 remote mail user, 3 forum, 4 agent, 5 unknown;
    // also the entry's image index in the list view.
    int64_t typeCode = 0;
    WideString typeText;
    WideString userName;
    WideString email;
    WideString distinguishedName;
    // PR_DISPLAY_TYPE_EX as the directory gave it (none when missing), and the detailed
    // kind it and the display type make.
    std::optional<int32_t> displayTypeEx;
    EntryKind kind = EntryKind::Unknown;
};

// How far the read that fills the store got: still running, through its whole table, or
// ended before that (a failure or a stop). An export tells the user which.
enum class ReadState { Running, Whole, Partial };

// The entries of the latest read, in arrival order. The reader thread appends while the
// UI thread counts, displays and exports; every operation takes the lock for its own body.
// Entries are held by pointer, so an entry (and its texts) stays put while the array
// grows, until the next Clear.
class AddressStore {
public:
    AddressStore() = default;
    AddressStore(const AddressStore&) = delete;
    AddressStore& operator=(const AddressStore&) = delete;

    void Append(std::unique_ptr<AddressEntry> entry);
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
    // Answers LVN_GETDISPINFOW with pointers into the entry's own texts.
    void FillDisplayInfo(LVITEMW& item) const;

private:
    mutable CriticalSection lock;
    std::vector<std::unique_ptr<AddressEntry>> entries;
    uint64_t generation = 0;
    ReadState state = ReadState::Whole;
};
