#pragma once
#include <windows.h>
#include <mapidefs.h>
#include <cstddef>

// Every column the program shows or writes, each named once: the list's four, the detailed
// kind that csv and tsv add, and the directory details. A column's name serves the command
// line and the stand-in's directory file, its heading the list and the csv/tsv header.
// Detail tags from mapitags.h; the Exchange ones (PR_EMS_AB_*) from MS-OXPROPS. The custom
// attributes are not contiguous: 11 to 15 came later and live at 0x8C57 and on.
namespace columns {

// Where a column's text comes from.
enum class Field { Type, UserName, Email, DistinguishedName, Kind, Detail };

struct Column {
    const char* name;
    const wchar_t* heading;
    int listWidth; // the list column's width at 96 dpi
    Field field;
    ULONG unicodeTag; // a detail's property: PT_UNICODE, or PT_MV_UNICODE when multiValued
    ULONG ansiTag;    // the 8-bit form, for providers without Unicode
    bool multiValued; // joined with "; " in one field, in the directory's order
};

constexpr Column Entry(const char* name, const wchar_t* heading, int width, Field field) {
    return Column{name, heading, width, field, 0, 0, false};
}
constexpr Column Text(const char* name, const wchar_t* heading, ULONG id) {
    return Column{name, heading, 120, Field::Detail, PROP_TAG(PT_UNICODE, id), PROP_TAG(PT_STRING8, id),
                  false};
}
constexpr Column Texts(const char* name, const wchar_t* heading, ULONG id) {
    return Column{name, heading, 200, Field::Detail, PROP_TAG(PT_MV_UNICODE, id), PROP_TAG(PT_MV_STRING8, id),
                  true};
}

// In the order of their columns; the details follow the kind.
constexpr Column kColumns[] = {
    Entry("type", L"Type", 90, Field::Type),
    Entry("username", L"Username", 120, Field::UserName),
    Entry("email", L"Email Address", 200, Field::Email),
    Entry("dn", L"Distinguished Name", 150, Field::DistinguishedName),
    Entry("kind", L"Kind", 0, Field::Kind),
    Text("title", L"Title", 0x3A17),                // PR_TITLE
    Text("department", L"Department", 0x3A18),      // PR_DEPARTMENT_NAME
    Text("company", L"Company", 0x3A16),            // PR_COMPANY_NAME
    Text("office", L"Office", 0x3A19),              // PR_OFFICE_LOCATION
    Text("phone", L"Business Phone", 0x3A08),       // PR_BUSINESS_TELEPHONE_NUMBER
    Text("mobile", L"Mobile Phone", 0x3A1C),        // PR_MOBILE_TELEPHONE_NUMBER
    Text("alias", L"Alias", 0x3A00),                // PR_ACCOUNT
    Text("street", L"Street", 0x3A29),              // PR_STREET_ADDRESS
    Text("city", L"City", 0x3A27),                  // PR_LOCALITY
    Text("state", L"State", 0x3A28),                // PR_STATE_OR_PROVINCE
    Text("postcode", L"Postal Code", 0x3A2A),       // PR_POSTAL_CODE
    Text("country", L"Country", 0x3A26),            // PR_COUNTRY
    Texts("addresses", L"Proxy Addresses", 0x800F), // PR_EMS_AB_PROXY_ADDRESSES
    Text("custom1", L"Custom Attribute 1", 0x802D), // PR_EMS_AB_EXTENSION_ATTRIBUTE_1
    Text("custom2", L"Custom Attribute 2", 0x802E),
    Text("custom3", L"Custom Attribute 3", 0x802F),
    Text("custom4", L"Custom Attribute 4", 0x8030),
    Text("custom5", L"Custom Attribute 5", 0x8031),
    Text("custom6", L"Custom Attribute 6", 0x8032),
    Text("custom7", L"Custom Attribute 7", 0x8033),
    Text("custom8", L"Custom Attribute 8", 0x8034),
    Text("custom9", L"Custom Attribute 9", 0x8035),
    Text("custom10", L"Custom Attribute 10", 0x8036),
    Text("custom11", L"Custom Attribute 11", 0x8C57), // PR_EMS_AB_EXTENSION_ATTRIBUTE_11
    Text("custom12", L"Custom Attribute 12", 0x8C58),
    Text("custom13", L"Custom Attribute 13", 0x8C59),
    Text("custom14", L"Custom Attribute 14", 0x8C60),
    Text("custom15", L"Custom Attribute 15", 0x8C61),
};
constexpr size_t kColumnCount = sizeof(kColumns) / sizeof(kColumns[0]);
// The list's own columns, 0 to 3, then the kind, then the details.
constexpr size_t kListColumns = 4;
constexpr int kKind = 4;
constexpr size_t kFirstDetail = 5;

// Column ids in the order they are shown or written.
struct ColumnList {
    int ids[kColumnCount] = {};
    size_t count = 0;
    constexpr const int* begin() const { return ids; }
    constexpr const int* end() const { return ids + count; }
    constexpr int operator[](size_t i) const { return ids[i]; }
    constexpr void Add(int id) { ids[count++] = id; }
};

} // namespace columns

// The directory details alone, indexed from 0; a detail's column id is kFirstDetail + index.
namespace details {

using Detail = columns::Column;
constexpr const Detail* kCatalogue = &columns::kColumns[columns::kFirstDetail];
constexpr size_t kCount = columns::kColumnCount - columns::kFirstDetail;

// A set of details as bits, bit i for kCatalogue[i].
using DetailSet = unsigned long;
static_assert(kCount <= sizeof(DetailSet) * 8, "every detail needs a bit");
constexpr DetailSet kAll = (DetailSet(1) << kCount) - 1;

// The catalogue's index of a property identifier, or -1.
constexpr int IndexOfPropId(ULONG propId) {
    for (size_t i = 0; i < kCount; ++i) {
        if (PROP_ID(kCatalogue[i].unicodeTag) == propId)
            return static_cast<int>(i);
    }
    return -1;
}

// The catalogue's index of a name (exact, as the catalogue spells it), or -1.
constexpr int IndexOfName(const char* name, size_t length) {
    for (size_t i = 0; i < kCount; ++i) {
        const char* known = kCatalogue[i].name;
        size_t at = 0;
        while (at < length && known[at] != '\0' && known[at] == name[at])
            ++at;
        if (at == length && known[at] == '\0')
            return static_cast<int>(i);
    }
    return -1;
}

constexpr int IndexOf(const char* name) {
    size_t length = 0;
    while (name[length] != '\0')
        ++length;
    return IndexOfName(name, length);
}

} // namespace details

namespace columns {

// The list's columns with these details: its four, then the details in catalogue order.
constexpr ColumnList ListColumns(details::DetailSet chosen) {
    ColumnList list;
    for (size_t i = 0; i < kListColumns; ++i)
        list.Add(static_cast<int>(i));
    for (size_t i = 0; i < details::kCount; ++i) {
        if (chosen & (details::DetailSet(1) << i))
            list.Add(static_cast<int>(kFirstDetail + i));
    }
    return list;
}

// The columns of a csv or tsv line and of the copied rows: the list's four, the kind, then
// the details.
constexpr ColumnList SheetColumns(details::DetailSet chosen) {
    ColumnList sheet;
    for (const int id : ListColumns(chosen)) {
        sheet.Add(id);
        if (id == static_cast<int>(kListColumns) - 1)
            sheet.Add(kKind);
    }
    return sheet;
}

} // namespace columns
