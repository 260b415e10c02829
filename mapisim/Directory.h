#pragma once
#include "mapisim/RowView.h"
#include <cstdint>
#include <string>
#include <vector>

namespace mapisim {

#ifndef PR_DISPLAY_TYPE_EX
#define PR_DISPLAY_TYPE_EX PROP_TAG(PT_LONG, 0x3905)
#endif

// One directory detail of an entry (title, phone, proxy addresses, ...): the catalogue's index
// and the UTF-8 text; a multi-valued detail holds its values each ended by a zero byte.
struct DetailValue {
    uint8_t index;
    ULONG count; // values of a multi-valued detail (0: none); 1 for the others
    std::string text;
};

// One address-book entry as a directory file describes it; texts are UTF-8, served as
// UTF-16 or in the ANSI code page as asked.
struct Entry {
    bool hasType = false;
    LONG displayType = 0;
    bool hasTypeEx = false; // PR_DISPLAY_TYPE_EX, the file's optional fifth field
    LONG displayTypeEx = 0;
    bool hasName = false;
    bool hasSmtp = false;
    bool hasDn = false;
    std::string name;
    std::string smtp;
    std::string dn;
    std::vector<DetailValue> details; // those the file lists, in the catalogue's order
};

// PR_OBJECT_TYPE that goes with a display type.
inline LONG ObjectTypeOf(LONG displayType) {
    return displayType == static_cast<LONG>(DT_DISTLIST) ||
                   displayType == static_cast<LONG>(DT_PRIVATE_DISTLIST)
               ? static_cast<LONG>(MAPI_DISTLIST)
               : static_cast<LONG>(MAPI_MAILUSER);
}

// The entries of one container: those listed, then `generated` more made on demand.
class Directory {
public:
    std::vector<Entry> entries;
    size_t generated = 0;

    size_t Count() const { return entries.size() + generated; }
    // The contents-table properties of entry index.
    void Fill(size_t index, RowView& row) const;
};

} // namespace mapisim
