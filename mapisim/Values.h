#pragma once
#include "mapisim/Buffers.h"
#include "mapisim/RowView.h"
#include <vector>

namespace mapisim {

// The values of tags from row, as MAPI hands them out: one AllocateBuffer block holding
// the value array, with each string and binary value linked to it by AllocateMore. A tag
// the row lacks comes back as PT_ERROR with MAPI_E_NOT_FOUND; missing counts them.
SCODE MakeValues(BufferPool& pool, const RowView& row, const ULONG* tags, ULONG count, LPSPropValue* out,
                 ULONG* missing);

// An empty row set of room for count rows (one block); rows are added with MakeValues.
SCODE MakeRowSet(BufferPool& pool, ULONG count, LPSRowSet* out);
// Frees a row set made here and every row in it.
void DiscardRowSet(BufferPool& pool, LPSRowSet rows);

} // namespace mapisim
