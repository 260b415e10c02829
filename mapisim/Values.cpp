#include "mapisim/Values.h"
#include <cstring>

namespace mapisim {
namespace {

SCODE CopyBytes(BufferPool& pool, void* base, const Cell& cell, bool terminate, void** out) {
    const SCODE result = pool.AllocateMore(cell.size + (terminate ? 1 : 0), base, out);
    if (FAILED(result))
        return result;
    memcpy(*out, cell.bytes, cell.size);
    if (terminate)
        static_cast<char*>(*out)[cell.size] = '\0';
    return S_OK;
}

} // namespace

SCODE MakeValues(BufferPool& pool, const RowView& row, const ULONG* tags, ULONG count, LPSPropValue* out,
                 ULONG* missing) {
    *out = nullptr;
    void* block = nullptr;
    SCODE result = pool.Allocate(count * sizeof(SPropValue), &block);
    if (FAILED(result))
        return result;
    auto* values = static_cast<LPSPropValue>(block);
    for (ULONG i = 0; i < count; ++i) {
        SPropValue& value = values[i];
        memset(&value, 0, sizeof(value));
        const Cell* cell = row.Find(tags[i]);
        const ULONG type = cell ? PROP_TYPE(cell->tag) : PT_ERROR;
        if (!cell || (type != PT_LONG && type != PT_STRING8 && type != PT_BINARY)) {
            value.ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tags[i]));
            value.Value.err = MAPI_E_NOT_FOUND;
            if (missing)
                ++*missing;
            continue;
        }
        value.ulPropTag = cell->tag;
        if (type == PT_LONG) {
            value.Value.l = cell->number;
        } else if (type == PT_STRING8) {
            void* text = nullptr;
            result = CopyBytes(pool, block, *cell, true, &text);
            value.Value.lpszA = static_cast<LPSTR>(text);
        } else {
            void* bytes = nullptr;
            result = CopyBytes(pool, block, *cell, false, &bytes);
            value.Value.bin.cb = cell->size;
            value.Value.bin.lpb = static_cast<LPBYTE>(bytes);
        }
        if (FAILED(result)) {
            pool.Free(block);
            return result;
        }
    }
    *out = values;
    return S_OK;
}

SCODE MakeRowSet(BufferPool& pool, ULONG count, LPSRowSet* out) {
    *out = nullptr;
    if (count > (MAXDWORD - sizeof(SRowSet)) / sizeof(SRow))
        return MAPI_E_NOT_ENOUGH_MEMORY;
    void* block = nullptr;
    const SCODE result = pool.Allocate(static_cast<ULONG>(CbNewSRowSet(count)), &block);
    *out = static_cast<LPSRowSet>(block);
    if (SUCCEEDED(result))
        (*out)->cRows = 0;
    return result;
}

void DiscardRowSet(BufferPool& pool, LPSRowSet rows) {
    if (!rows)
        return;
    for (ULONG i = 0; i < rows->cRows; ++i)
        pool.Free(rows->aRow[i].lpProps);
    pool.Free(rows);
}

} // namespace mapisim
