#pragma once
#include "directory/ColumnCatalogue.h"
#include "mapisim/MapiDefs.h"
#include <string>

namespace mapisim {

// One property of a row before it is handed out: a 32-bit number, a binary value, or a
// text, according to the tag's type. A text (PT_UNICODE) holds the directory's UTF-8 without
// a terminator, and is handed out as UTF-16 or as 8-bit text, whichever the caller asks for.
// Several texts (PT_MV_UNICODE) hold `number` values, each ended by a zero byte.
struct Cell {
    ULONG tag;
    LONG number;
    const char* bytes;
    ULONG size;
};

// The properties one row has, filled by a row source and read by the table and the
// restriction. A missing property is simply absent. Reused from row to row, so serving a
// table allocates nothing per row beyond what the caller receives.
class RowView {
public:
    void Clear() { count = 0; }

    // The directory details the table's columns ask for: a row source adds only these, so
    // that rows read without details cost what they always did.
    details::DetailSet wantedDetails = 0;
    // Detail texts made for the current row.
    std::string detailScratch[8];

    void AddLong(ULONG tag, LONG value) { Add(Cell{tag, value, nullptr, 0}); }
    void AddBytes(ULONG tag, const std::string& value) {
        Add(Cell{tag, 0, value.data(), static_cast<ULONG>(value.size())});
    }
    void AddBytes(ULONG tag, const void* data, size_t size) {
        Add(Cell{tag, 0, static_cast<const char*>(data), static_cast<ULONG>(size)});
    }
    // A text property (tag's identifier; its type does not matter) from UTF-8.
    void AddText(ULONG tag, const std::string& utf8) {
        Add(Cell{PROP_TAG(PT_UNICODE, PROP_ID(tag)), 0, utf8.data(), static_cast<ULONG>(utf8.size())});
    }
    void AddText(ULONG tag, const char* utf8, size_t size) {
        Add(Cell{PROP_TAG(PT_UNICODE, PROP_ID(tag)), 0, utf8, static_cast<ULONG>(size)});
    }
    // count texts, each ended by a zero byte.
    void AddTexts(ULONG tag, const std::string& values, ULONG count) {
        Add(Cell{PROP_TAG(PT_MV_UNICODE, PROP_ID(tag)), static_cast<LONG>(count), values.data(),
                 static_cast<ULONG>(values.size())});
    }

    // The property with tag's identifier, if tag's type matches it (or is PT_UNSPECIFIED);
    // a text matches both string types, several texts both multi-valued string types.
    const Cell* Find(ULONG tag) const {
        for (size_t i = 0; i < count; ++i) {
            const ULONG type = PROP_TYPE(cells[i].tag);
            if (PROP_ID(cells[i].tag) == PROP_ID(tag) &&
                (PROP_TYPE(tag) == PT_UNSPECIFIED || PROP_TYPE(tag) == type ||
                 (type == PT_UNICODE && PROP_TYPE(tag) == PT_STRING8) ||
                 (type == PT_MV_UNICODE && PROP_TYPE(tag) == PT_MV_STRING8)))
                return &cells[i];
        }
        return nullptr;
    }

    // Texts made for the current row live here until the next one, and its entry identifier.
    std::string scratch[3];
    std::string entryId;

private:
    void Add(const Cell& cell) {
        if (count < kMaxCells)
            cells[count++] = cell;
    }
    // The entry's own properties and every detail.
    static constexpr size_t kMaxCells = 10 + details::kCount;
    Cell cells[kMaxCells] = {};
    size_t count = 0;
};

} // namespace mapisim
