#include "mapisim/Directory.h"
#include "mapisim/Generator.h"

namespace mapisim {

void Directory::Fill(size_t index, RowView& row) const {
    row.Clear();
    if (index >= entries.size()) {
        GenerateEntry(index - entries.size(), row);
        return;
    }
    const Entry& entry = entries[index];
    if (entry.hasType)
        row.AddLong(PR_DISPLAY_TYPE, entry.displayType);
    if (entry.hasTypeEx)
        row.AddLong(PR_DISPLAY_TYPE_EX, entry.displayTypeEx);
    row.AddLong(PR_OBJECT_TYPE, ObjectTypeOf(entry.hasType ? entry.displayType : 0));
    if (entry.hasName)
        row.AddText(PR_DISPLAY_NAME_A, entry.name);
    if (entry.hasSmtp)
        row.AddText(PR_SMTP_ADDRESS_A, entry.smtp);
    if (entry.hasDn)
        row.AddText(PR_EMS_AB_OBJ_DIST_NAME_A, entry.dn);
    if (row.wantedDetails == 0)
        return;
    for (const DetailValue& detail : entry.details) {
        if (!(row.wantedDetails & (details::DetailSet(1) << detail.index)))
            continue;
        const details::Detail& known = details::kCatalogue[detail.index];
        if (known.multiValued)
            row.AddTexts(known.unicodeTag, detail.text, detail.count);
        else
            row.AddText(known.unicodeTag, detail.text);
    }
}

} // namespace mapisim
