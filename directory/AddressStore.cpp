#include "directory/AddressStore.h"

void AddressStore::Append(std::unique_ptr<AddressEntry> entry) {
    ScopedLock guard(lock);
    entries.push_back(std::move(entry));
}

uint64_t AddressStore::Count() const {
    ScopedLock guard(lock);
    return entries.size();
}

const AddressEntry* AddressStore::At(uint64_t index) const {
    ScopedLock guard(lock);
    return index < entries.size() ? entries[index].get() : nullptr;
}

void AddressStore::Clear() {
    ScopedLock guard(lock);
    entries.clear();
    ++generation;
}

uint64_t AddressStore::Generation() const {
    ScopedLock guard(lock);
    return generation;
}

ReadState AddressStore::State() const {
    ScopedLock guard(lock);
    return state;
}

void AddressStore::SetState(ReadState value) {
    ScopedLock guard(lock);
    state = value;
}

void AddressStore::FillDisplayInfo(LVITEMW& item) const {
    if (item.iItem == -1)
        return;
    ScopedLock guard(lock);
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= entries.size())
        return; // the list view never asks past the count; leave the item untouched
    const AddressEntry* entry = entries[item.iItem].get();
    if (!entry)
        return;
    item.lParam = reinterpret_cast<LPARAM>(entry);
    if (item.mask & LVIF_IMAGE)
        item.iImage = static_cast<int>(entry->typeCode);
    if (item.mask & LVIF_TEXT) {
        const WideString* text = nullptr;
        switch (item.iSubItem) {
        case 0:
            text = &entry->typeText;
            break;
        case 1:
            text = &entry->userName;
            break;
        case 2:
            text = &entry->email;
            break;
        case 3:
            text = &entry->distinguishedName;
            break;
        default:
            break;
        }
        // The list view only reads the text, and the entry outlives the request.
        if (text)
            item.pszText = const_cast<wchar_t*>(text->c_str());
    }
}
