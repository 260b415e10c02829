#include "directory/AddressStore.h"
#include <array>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

namespace {

// A text laid out as the store keeps it: the length, then the characters and their zero.
template <size_t N> struct PrefixedText {
    uint32_t length;
    wchar_t text[N];
};
static_assert(offsetof(PrefixedText<1>, text) == sizeof(uint32_t), "the characters follow the length");

constexpr PrefixedText<1> kEmptyText = {0, {L'\0'}};

constexpr size_t kTypeCount = static_cast<size_t>(EntryType::Unknown) + 1;

// The six type texts, kept once for every entry of every run.
const std::array<PrefixedText<16>, kTypeCount>& SharedTypeTexts() {
    static const std::array<PrefixedText<16>, kTypeCount> texts = [] {
        std::array<PrefixedText<16>, kTypeCount> made = {};
        for (size_t type = 0; type < kTypeCount; ++type) {
            const std::wstring_view text = EntryTypeText(static_cast<EntryType>(type));
            made[type].length = static_cast<uint32_t>(text.size());
            text.copy(made[type].text, text.size());
        }
        return made;
    }();
    return texts;
}

// The length word and the zero after the characters; blocks hand out 4-byte steps so the
// length word is aligned.
size_t StoredBytes(size_t length) {
    return (sizeof(uint32_t) + (length + 1) * sizeof(wchar_t) + 3) & ~size_t(3);
}

} // namespace

static_assert(std::is_trivially_destructible<AddressEntry>::value &&
                  std::is_trivially_destructible<StoredText>::value,
              "Clear releases blocks without destroying entries");
static_assert(sizeof(void*) != 8 || sizeof(AddressEntry) == 48, "an entry without details stays 48 bytes");
static_assert(sizeof(AddressEntry) % alignof(StoredText) == 0 && alignof(AddressEntry) >= alignof(StoredText),
              "detail texts and the next entry stay aligned");

StoredText::StoredText() noexcept : text(kEmptyText.text) {}

size_t StoredText::size() const noexcept {
    uint32_t length = 0;
    std::memcpy(&length, reinterpret_cast<const char*>(text) - sizeof(length), sizeof(length));
    return length;
}

char* AddressStore::TextRoom(size_t bytes) {
    if (bytes > kTextBlockBytes / 4) {
        // Its own block, so the current block's free room stays for the texts after it.
        std::unique_ptr<char[]> block(new char[bytes]);
        char* room = block.get();
        blocks.push_back(std::move(block));
        return room;
    }
    if (static_cast<size_t>(textEnd - textNext) < bytes) {
        std::unique_ptr<char[]> block(new char[kTextBlockBytes]);
        char* start = block.get();
        blocks.push_back(std::move(block));
        textNext = start;
        textEnd = start + kTextBlockBytes;
    }
    char* room = textNext;
    textNext += bytes;
    return room;
}

StoredText AddressStore::CopyText(std::wstring_view text) {
    if (text.empty())
        return StoredText();
    if (text.size() > UINT32_MAX)
        throw std::bad_alloc();
    char* room = TextRoom(StoredBytes(text.size()));
    const uint32_t length = static_cast<uint32_t>(text.size());
    std::memcpy(room, &length, sizeof(length));
    auto* characters = reinterpret_cast<wchar_t*>(room + sizeof(length));
    std::memcpy(characters, text.data(), text.size() * sizeof(wchar_t));
    characters[text.size()] = L'\0';
    return StoredText(characters);
}

void AddressStore::Append(const NewEntry& values) {
    ScopedLock guard(lock);
    if (count >= appendLimit)
        throw std::bad_alloc();
    const uint64_t slot = count % kEntriesPerBlock;
    if (slot == 0 && entryBlocks.size() == count / kEntriesPerBlock) {
        // The block joins the run's blocks before its index, whose room is reserved: a failed
        // step leaves no index to a freed block.
        entryBlocks.reserve(entryBlocks.size() + 1);
        std::unique_ptr<char[]> block(new char[kEntriesPerBlock * Stride()]);
        char* first = block.get();
        blocks.push_back(std::move(block));
        entryBlocks.push_back(first);
    }
    const auto type = static_cast<size_t>(values.type);
    StoredText typeText;
    const auto& shared = SharedTypeTexts();
    if (type < kTypeCount && values.typeText == std::wstring_view(shared[type].text, shared[type].length))
        typeText = StoredText(shared[type].text);
    else
        typeText = CopyText(values.typeText);
    const StoredText userName = CopyText(values.userName);
    const StoredText email = CopyText(values.email);
    const StoredText distinguishedName = CopyText(values.distinguishedName);

    // The entry is written once, complete, before the count makes it visible.
    char* place = entryBlocks[count / kEntriesPerBlock] + slot * Stride();
    auto* detailTexts = reinterpret_cast<StoredText*>(place + sizeof(AddressEntry));
    for (size_t i = 0; i < DetailSlots(); ++i)
        new (detailTexts + i) StoredText(values.details ? CopyText(values.details[i]) : StoredText());
    auto* entry = new (place) AddressEntry;
    entry->typeText = typeText;
    entry->userName = userName;
    entry->email = email;
    entry->distinguishedName = distinguishedName;
    entry->typeCode = static_cast<int32_t>(values.type);
    entry->displayTypeEx = values.displayTypeEx;
    entry->kind = values.kind;
    ++count;
}

uint64_t AddressStore::Count() const {
    ScopedLock guard(lock);
    return count;
}

const AddressEntry* AddressStore::EntryAt(uint64_t index) const {
    return index < count ? reinterpret_cast<const AddressEntry*>(entryBlocks[index / kEntriesPerBlock] +
                                                                 index % kEntriesPerBlock * Stride())
                         : nullptr;
}

bool AddressStore::SetDetails(details::DetailSet chosen) {
    ScopedLock guard(lock);
    if (count > 0 || !entryBlocks.empty())
        return false;
    detailSet = chosen & details::kAll;
    listColumns = columns::ListColumns(detailSet);
    return true;
}

details::DetailSet AddressStore::Details() const {
    ScopedLock guard(lock);
    return detailSet;
}

size_t AddressStore::DetailCount() const {
    ScopedLock guard(lock);
    return DetailSlots();
}

const StoredText* AddressStore::DetailText(const AddressEntry& entry, int index) const {
    // The chosen details change only while the store is empty, so no entry sees them change.
    if (index < 0 || static_cast<size_t>(index) >= details::kCount ||
        !(detailSet & (details::DetailSet(1) << index)))
        return nullptr;
    size_t position = 0;
    for (details::DetailSet below = detailSet & ((details::DetailSet(1) << index) - 1); below != 0;
         below &= below - 1)
        ++position;
    return reinterpret_cast<const StoredText*>(reinterpret_cast<const char*>(&entry) + sizeof(AddressEntry)) +
           position;
}

const AddressEntry* AddressStore::At(uint64_t index) const {
    ScopedLock guard(lock);
    return EntryAt(index);
}

void AddressStore::Clear() {
    ScopedLock guard(lock);
    // The arrays' own storage goes too: nothing of a run outlives it.
    std::vector<std::unique_ptr<char[]>>().swap(blocks);
    std::vector<char*>().swap(entryBlocks);
    count = 0;
    textNext = textEnd = nullptr;
    ++generation;
}

uint64_t AddressStore::Generation() const {
    ScopedLock guard(lock);
    return generation;
}

void AddressStore::FailAppendsFrom(uint64_t entries) {
    ScopedLock guard(lock);
    appendLimit = entries;
}

ReadState AddressStore::State() const {
    ScopedLock guard(lock);
    return state;
}

void AddressStore::SetState(ReadState value) {
    ScopedLock guard(lock);
    state = value;
}

std::wstring_view AddressStore::ColumnText(const AddressEntry& entry, int columnId) const {
    if (columnId < 0 || static_cast<size_t>(columnId) >= columns::kColumnCount)
        return L"";
    switch (columns::kColumns[columnId].field) {
    case columns::Field::Type:
        return entry.typeText;
    case columns::Field::UserName:
        return entry.userName;
    case columns::Field::Email:
        return entry.email;
    case columns::Field::DistinguishedName:
        return entry.distinguishedName;
    case columns::Field::Kind:
        return EntryKindName(entry.kind);
    case columns::Field::Detail:
        break;
    }
    const StoredText* text = DetailText(entry, columnId - static_cast<int>(columns::kFirstDetail));
    return text ? std::wstring_view(*text) : std::wstring_view(L"");
}

int AddressStore::ListColumnId(int listColumn) const {
    ScopedLock guard(lock);
    return listColumn >= 0 && static_cast<size_t>(listColumn) < listColumns.count ? listColumns[listColumn]
                                                                                  : -1;
}

void AddressStore::FillDisplayInfo(LVITEMW& item) const {
    if (item.iItem == -1)
        return;
    ScopedLock guard(lock);
    // The list view never asks past the count; such a request leaves the item untouched.
    const AddressEntry* entry = item.iItem < 0 ? nullptr : EntryAt(static_cast<uint64_t>(item.iItem));
    if (!entry)
        return;
    item.lParam = reinterpret_cast<LPARAM>(entry);
    if (item.mask & LVIF_IMAGE)
        item.iImage = entry->typeCode;
    if (item.mask & LVIF_TEXT) {
        // The list view only reads the text, and the entry outlives the request.
        if (item.iSubItem >= 0 && static_cast<size_t>(item.iSubItem) < listColumns.count)
            item.pszText = const_cast<wchar_t*>(ColumnText(*entry, listColumns[item.iSubItem]).data());
    }
}
