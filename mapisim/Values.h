#pragma once
#include "mapisim/Buffers.h"
#include "mapisim/RowView.h"
#include <string>

namespace mapisim {

// A text cell's UTF-8 as a real provider hands it out: UTF-16 for PT_UNICODE, and for
// PT_STRING8 the ANSI code page's bytes, converted as Windows converts (characters the code
// page lacks become its best-fit or default character). Invalid UTF-8 becomes U+FFFD first.
std::wstring TextAsUtf16(const Cell& cell);
std::string TextAsAnsi(const Cell& cell, UINT codePage);

// The values of tags from row, as MAPI hands them out: one AllocateBuffer block holding
// the value array, with each string and binary value linked to it by AllocateMore. A tag
// the row lacks comes back as PT_ERROR with MAPI_E_NOT_FOUND; missing counts them. Texts
// come in the string type of the tag (8-bit in codePage for PT_STRING8 and PT_UNSPECIFIED),
// cut to cutAt characters (bytes for 8-bit texts) when cutAt is not 0, as a table may cut them.
SCODE MakeValues(BufferPool& pool, const RowView& row, const ULONG* tags, ULONG count, UINT codePage,
                 LPSPropValue* out, ULONG* missing, ULONG cutAt = 0);

// An empty row set of room for count rows (one block); rows are added with MakeValues.
SCODE MakeRowSet(BufferPool& pool, ULONG count, LPSRowSet* out);
// Frees a row set made here and every row in it.
void DiscardRowSet(BufferPool& pool, LPSRowSet rows);

} // namespace mapisim
