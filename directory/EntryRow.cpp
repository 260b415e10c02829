#include "directory/EntryRow.h"
#include <cstring>
#include <new>
#include "directory/DirectoryReader.h"
#include "directory/MapiConstants.h"
#include "text/TextConversion.h"

namespace {

// Table implementers may cut a text column, most often to 255 and less often to 510
// characters (bytes for 8-bit text): a text of exactly that length may not be whole.
bool MayBeCut(size_t length) {
    return length == 255 || length == 510;
}

// A value of the expected type; missing (PT_ERROR), absent or mistyped values give null.
const SPropValue* ValueOfType(const SRow& row, ULONG position, ULONG type) {
    if (!row.lpProps || position >= row.cValues || PROP_TYPE(row.lpProps[position].ulPropTag) != type)
        return nullptr;
    return &row.lpProps[position];
}

} // namespace

std::vector<ULONG> ContentsColumns(bool unicode, details::DetailSet chosen) {
    std::vector<ULONG> columns = {0,
                                  PR_DISPLAY_TYPE,
                                  unicode ? PR_DISPLAY_NAME_W : PR_DISPLAY_NAME_A,
                                  unicode ? mapiconst::PR_SMTP_ADDRESS_W : mapiconst::PR_SMTP_ADDRESS_A,
                                  unicode ? mapiconst::PR_EMS_AB_OBJ_DIST_NAME_W
                                          : mapiconst::PR_EMS_AB_OBJ_DIST_NAME_A,
                                  mapiconst::PR_DISPLAY_TYPE_EX,
                                  PR_ENTRYID};
    for (size_t i = 0; i < details::kCount; ++i) {
        if (chosen & (details::DetailSet(1) << i))
            columns.push_back(unicode ? details::kCatalogue[i].unicodeTag : details::kCatalogue[i].ansiTag);
    }
    columns[0] = static_cast<ULONG>(columns.size() - 1);
    return columns;
}

bool TakeText(const SPropValue& value, std::wstring_view& text, WideString& owned, bool& cut) {
    cut = false;
    switch (PROP_TYPE(value.ulPropTag)) {
    case PT_UNICODE:
        if (!value.Value.lpszW)
            return false;
        text = value.Value.lpszW;
        cut = MayBeCut(text.size());
        return true;
    case PT_STRING8:
        if (!value.Value.lpszA)
            return false;
        cut = MayBeCut(std::strlen(value.Value.lpszA));
        text = owned = MultiByteToWide(value.Value.lpszA, CP_ACP);
        return true;
    case PT_MV_UNICODE:
    case PT_MV_STRING8: {
        // In the directory's order, in one field.
        const bool wide = PROP_TYPE(value.ulPropTag) == PT_MV_UNICODE;
        const ULONG values = wide ? value.Value.MVszW.cValues : value.Value.MVszA.cValues;
        owned.clear();
        for (ULONG k = 0; k < values; ++k) {
            const wchar_t* one = wide ? value.Value.MVszW.lppszW[k] : nullptr;
            const char* narrow = wide ? nullptr : value.Value.MVszA.lppszA[k];
            if (!one && !narrow)
                continue;
            if (!owned.empty())
                owned += L"; ";
            if (one) {
                cut = cut || MayBeCut(std::wcslen(one));
                owned += one;
            } else {
                cut = cut || MayBeCut(std::strlen(narrow));
                owned += MultiByteToWide(narrow, CP_ACP);
            }
        }
        text = owned;
        return true;
    }
    default:
        return false;
    }
}

void DirectoryReader::AddRow(const SRow& row, IAddrBook* addressBook) {
    NewEntry entry;
    std::optional<int32_t> displayType;
    if (const SPropValue* type = ValueOfType(row, kDisplayTypeColumn, PT_LONG))
        displayType = type->Value.l;
    if (const SPropValue* typeEx = ValueOfType(row, kDisplayTypeExColumn, PT_LONG))
        entry.displayTypeEx = typeEx->Value.l;
    const Classification kind = ClassifyEntry(displayType, entry.displayTypeEx);
    entry.type = kind.type;
    entry.kind = kind.kind;
    entry.typeText = EntryTypeText(kind.type);

    // A row without a display type is no real entry: its list texts say so unless it has
    // them. A missing detail is an empty field.
    RowTexts& texts = rowTexts;
    const wchar_t* preset = displayType ? L"" : L"unknown";
    bool anyCut = false;
    for (size_t i = 0; i < texts.count; ++i) {
        texts.text[i] = i < 3 ? preset : L"";
        texts.cut[i] = false;
        if (row.lpProps && RowTexts::Column(i) < row.cValues)
            TakeText(row.lpProps[RowTexts::Column(i)], texts.text[i], texts.owned[i], texts.cut[i]);
        anyCut = anyCut || texts.cut[i];
    }
    if (anyCut)
        ReadWholeTexts(addressBook, row, texts);
    entry.userName = texts.text[0];
    entry.email = texts.text[1];
    entry.distinguishedName = texts.text[2];
    entry.details = texts.count > 3 ? &texts.text[3] : nullptr;
    store->Append(entry);
    // Counted once stored: a row the store could not take is in no count.
    ++typeCounts[static_cast<size_t>(kind.type)];
}

void DirectoryReader::ReadWholeTexts(IAddrBook* addressBook, const SRow& row, RowTexts& texts) {
    const SPropValue* entryId = ValueOfType(row, kEntryIdColumn, PT_BINARY);
    if (!entryId || entryId->Value.bin.cb == 0 || !entryId->Value.bin.lpb)
        return;
    // Read-only: nothing here changes the directory. Whatever fails keeps the table's text.
    MapiPtr<IMAPIProp> entry;
    if (FAILED(OpenEntryUncached(addressBook, entryId->Value.bin.cb,
                                 reinterpret_cast<LPENTRYID>(entryId->Value.bin.lpb), MAPI_DEFERRED_ERRORS,
                                 entry.ReceiveUnknown())))
        return;
    // The texts in the table's own types; position[k] is the text asked for as tag k.
    SizedSPropTagArray(RowTexts::kMax, tags) = {0, {}};
    size_t position[RowTexts::kMax] = {};
    for (size_t i = 0; i < texts.count; ++i) {
        if (texts.cut[i]) {
            position[tags.cValues] = i;
            tags.aulPropTag[tags.cValues++] = row.lpProps[RowTexts::Column(i)].ulPropTag;
        }
    }
    ULONG count = 0;
    MapiBuffer<SPropValue> values(mapi);
    // A warning (MAPI_W_ERRORS_RETURNED) still brings the values that are there.
    lastResult = entry->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, values.Receive());
    if (FAILED(lastResult) || !values)
        return;
    for (ULONG k = 0; k < count && k < tags.cValues; ++k) {
        const SPropValue& value = values.Get()[k];
        const size_t i = position[k];
        bool cut = false;
        // The whole text replaces the table's, in a copy of its own: the entry's values
        // go when this returns.
        std::wstring_view whole;
        WideString copy;
        if (value.ulPropTag == tags.aulPropTag[k] && TakeText(value, whole, copy, cut))
            texts.text[i] = texts.owned[i] = whole;
    }
}
