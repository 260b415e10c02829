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

bool IsAscii(const Cell& cell) {
    for (ULONG i = 0; i < cell.size; ++i) {
        if (static_cast<unsigned char>(cell.bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

// UTF-16 code units of the cell's text, written to out when it is not null.
int Widen(const Cell& cell, wchar_t* out, int room) {
    if (cell.size == 0)
        return 0;
    if (IsAscii(cell)) {
        for (ULONG i = 0; out && i < cell.size; ++i)
            out[i] = static_cast<wchar_t>(cell.bytes[i]);
        return static_cast<int>(cell.size);
    }
    return ::MultiByteToWideChar(CP_UTF8, 0, cell.bytes, static_cast<int>(cell.size), out, room);
}

SCODE CopyUtf16(BufferPool& pool, void* base, const Cell& cell, ULONG cutAt, LPWSTR* out) {
    const int length = Widen(cell, nullptr, 0);
    if (cutAt > 0 && length > static_cast<int>(cutAt)) {
        const std::wstring whole = TextAsUtf16(cell);
        void* text = nullptr;
        const SCODE result = pool.AllocateMore((cutAt + 1) * sizeof(wchar_t), base, &text);
        if (FAILED(result))
            return result;
        *out = static_cast<LPWSTR>(text);
        memcpy(*out, whole.data(), cutAt * sizeof(wchar_t));
        (*out)[cutAt] = L'\0';
        return S_OK;
    }
    void* text = nullptr;
    const SCODE result = pool.AllocateMore(static_cast<ULONG>((length + 1) * sizeof(wchar_t)), base, &text);
    if (FAILED(result))
        return result;
    *out = static_cast<LPWSTR>(text);
    Widen(cell, *out, length);
    (*out)[length] = L'\0';
    return S_OK;
}

SCODE CopyAnsi(BufferPool& pool, void* base, const Cell& cell, UINT codePage, ULONG cutAt, LPSTR* out) {
    if (IsAscii(cell)) {
        Cell cut = cell;
        if (cutAt > 0 && cut.size > cutAt)
            cut.size = cutAt;
        void* text = nullptr;
        const SCODE result = CopyBytes(pool, base, cut, true, &text);
        *out = static_cast<LPSTR>(text);
        return result;
    }
    std::string bytes = TextAsAnsi(cell, codePage);
    if (cutAt > 0 && bytes.size() > cutAt)
        bytes.resize(cutAt);
    void* text = nullptr;
    const SCODE result = pool.AllocateMore(static_cast<ULONG>(bytes.size() + 1), base, &text);
    if (FAILED(result))
        return result;
    *out = static_cast<LPSTR>(text);
    memcpy(*out, bytes.c_str(), bytes.size() + 1);
    return S_OK;
}

} // namespace

std::wstring TextAsUtf16(const Cell& cell) {
    std::wstring text(static_cast<size_t>(Widen(cell, nullptr, 0)), L'\0');
    Widen(cell, &text[0], static_cast<int>(text.size()));
    return text;
}

std::string TextAsAnsi(const Cell& cell, UINT codePage) {
    const std::wstring wide = TextAsUtf16(cell);
    if (wide.empty())
        return std::string();
    const int length = static_cast<int>(wide.size());
    // Default flags and no default character of our own: what a provider's own conversion does.
    std::string bytes(static_cast<size_t>(::WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0,
                                                                nullptr, nullptr)),
                      '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), length, &bytes[0], static_cast<int>(bytes.size()),
                          nullptr, nullptr);
    return bytes;
}

namespace {

// Several texts, each ended by a zero byte in the cell, as an array of strings linked to base:
// UTF-16 for PT_MV_UNICODE, the ANSI code page's bytes for PT_MV_STRING8.
SCODE CopyTexts(BufferPool& pool, void* base, const Cell& cell, bool wide, UINT codePage, SPropValue& value) {
    const ULONG count = static_cast<ULONG>(cell.number);
    void* array = nullptr;
    SCODE result = pool.AllocateMore(count * sizeof(void*) + 1, base, &array);
    if (FAILED(result))
        return result;
    auto* strings = static_cast<void**>(array);
    if (wide)
        value.Value.MVszW = SWStringArray{count, reinterpret_cast<LPWSTR*>(strings)};
    else
        value.Value.MVszA = SLPSTRArray{count, reinterpret_cast<LPSTR*>(strings)};
    const char* at = cell.bytes;
    for (ULONG i = 0; i < count; ++i) {
        const size_t length = strlen(at);
        const Cell one{PROP_TAG(PT_UNICODE, 0), 0, at, static_cast<ULONG>(length)};
        at += length + 1;
        if (wide) {
            const std::wstring text = TextAsUtf16(one);
            result =
                pool.AllocateMore(static_cast<ULONG>((text.size() + 1) * sizeof(wchar_t)), base, &strings[i]);
            if (SUCCEEDED(result))
                memcpy(strings[i], text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        } else {
            const std::string text = TextAsAnsi(one, codePage);
            result = pool.AllocateMore(static_cast<ULONG>(text.size() + 1), base, &strings[i]);
            if (SUCCEEDED(result))
                memcpy(strings[i], text.c_str(), text.size() + 1);
        }
        if (FAILED(result))
            return result;
    }
    return S_OK;
}

} // namespace

SCODE MakeValues(BufferPool& pool, const RowView& row, const ULONG* tags, ULONG count, UINT codePage,
                 LPSPropValue* out, ULONG* missing, ULONG cutAt) {
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
        ULONG type = cell ? PROP_TYPE(cell->tag) : PT_ERROR;
        if (type == PT_UNICODE && PROP_TYPE(tags[i]) != PT_UNICODE)
            type = PT_STRING8; // without MAPI_UNICODE, texts are 8-bit
        if (type == PT_MV_UNICODE && PROP_TYPE(tags[i]) != PT_MV_UNICODE)
            type = PT_MV_STRING8;
        if (!cell || (type != PT_LONG && type != PT_STRING8 && type != PT_UNICODE && type != PT_BINARY &&
                      type != PT_MV_STRING8 && type != PT_MV_UNICODE)) {
            value.ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(tags[i]));
            value.Value.err = MAPI_E_NOT_FOUND;
            if (missing)
                ++*missing;
            continue;
        }
        value.ulPropTag = PROP_TAG(type, PROP_ID(cell->tag));
        if (type == PT_LONG) {
            value.Value.l = cell->number;
        } else if (type == PT_MV_UNICODE || type == PT_MV_STRING8) {
            result = CopyTexts(pool, block, *cell, type == PT_MV_UNICODE, codePage, value);
        } else if (type == PT_UNICODE) {
            result = CopyUtf16(pool, block, *cell, cutAt, &value.Value.lpszW);
        } else if (type == PT_STRING8 && PROP_TYPE(cell->tag) == PT_UNICODE) {
            result = CopyAnsi(pool, block, *cell, codePage, cutAt, &value.Value.lpszA);
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
