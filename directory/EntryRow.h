#pragma once
#include <windows.h>
#include <mapidefs.h>
#include <string_view>
#include <vector>
#include "base/Strings.h"
#include "directory/ColumnCatalogue.h"

// The contents table's columns and the texts one of its rows holds, for the reader.

// The columns the reader sets: display type, name, SMTP address, distinguished name, the
// extended display type and the entry identifier, then the chosen details in catalogue order.
// The texts in UTF-16, or in their 8-bit forms for a provider without Unicode. Laid out as an
// SPropTagArray: the count, then the tags.
std::vector<ULONG> ContentsColumns(bool unicode, details::DetailSet chosen);
constexpr ULONG kDisplayTypeColumn = 0, kFirstTextColumn = 1, kDisplayTypeExColumn = 4, kEntryIdColumn = 5,
                kFirstDetailColumn = 6;

// A row's texts: the name, the address and the distinguished name, then the details. Each
// views MAPI's own UTF-16 value where it can, else its own copy (8-bit text decoded from the
// ANSI code page, several values joined with "; ", a text read again whole). Reused from row
// to row.
struct RowTexts {
    static constexpr size_t kMax = 3 + details::kCount;
    std::wstring_view text[kMax];
    WideString owned[kMax];
    // The text is exactly as long as tables cut texts to: it may not be whole.
    bool cut[kMax] = {};
    // The texts a row of the table holds: the three and the chosen details.
    size_t count = 3;

    // The row's column of text i.
    static constexpr ULONG Column(size_t i) {
        return i < 3 ? kFirstTextColumn + static_cast<ULONG>(i)
                     : kFirstDetailColumn + static_cast<ULONG>(i - 3);
    }
};

// Takes the value's text, of any of the four string types, into text (and owned); false for
// a missing value (PT_ERROR) or any other type, which leaves text as it was. cut tells whether
// the text, or one of several, is as long as a cut one.
bool TakeText(const SPropValue& value, std::wstring_view& text, WideString& owned, bool& cut);
