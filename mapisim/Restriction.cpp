#include "mapisim/Restriction.h"
#include "mapisim/Values.h"
#include <cstring>

namespace mapisim {
namespace {

// Deeper nesting than any real caller uses; it also stops a restriction that loops.
constexpr int kMaxDepth = 32;

bool SupportedType(ULONG type) {
    return type == PT_LONG || type == PT_BINARY || type == PT_STRING8 || type == PT_UNICODE;
}

HRESULT Check(const SRestriction* restriction, int depth) {
    if (!restriction)
        return MAPI_E_INVALID_PARAMETER;
    if (depth > kMaxDepth)
        return MAPI_E_TOO_COMPLEX;
    switch (restriction->rt) {
    case RES_AND:
    case RES_OR: {
        const SAndRestriction& list = restriction->res.resAnd; // same layout as resOr
        if (list.cRes > 0 && !list.lpRes)
            return MAPI_E_INVALID_PARAMETER;
        for (ULONG i = 0; i < list.cRes; ++i) {
            const HRESULT result = Check(&list.lpRes[i], depth + 1);
            if (FAILED(result))
                return result;
        }
        return S_OK;
    }
    case RES_NOT:
        return Check(restriction->res.resNot.lpRes, depth + 1);
    case RES_EXIST:
        return S_OK;
    case RES_PROPERTY: {
        const SPropertyRestriction& property = restriction->res.resProperty;
        if (!property.lpProp)
            return MAPI_E_INVALID_PARAMETER;
        if (property.relop != RELOP_EQ && property.relop != RELOP_NE)
            return MAPI_E_TOO_COMPLEX;
        if (!SupportedType(PROP_TYPE(property.ulPropTag)) ||
            PROP_TYPE(property.lpProp->ulPropTag) != PROP_TYPE(property.ulPropTag))
            return MAPI_E_TOO_COMPLEX;
        if (PROP_TYPE(property.ulPropTag) == PT_BINARY && property.lpProp->Value.bin.cb > 0 &&
            !property.lpProp->Value.bin.lpb)
            return MAPI_E_INVALID_PARAMETER;
        if (PROP_TYPE(property.ulPropTag) == PT_STRING8 && !property.lpProp->Value.lpszA)
            return MAPI_E_INVALID_PARAMETER;
        if (PROP_TYPE(property.ulPropTag) == PT_UNICODE && !property.lpProp->Value.lpszW)
            return MAPI_E_INVALID_PARAMETER;
        return S_OK;
    }
    default:
        return MAPI_E_TOO_COMPLEX;
    }
}

// value has the restriction's type; a text cell compares in that form.
bool Equal(const Cell& cell, const SPropValue& value, UINT codePage) {
    const bool text = PROP_TYPE(cell.tag) == PT_UNICODE;
    switch (PROP_TYPE(value.ulPropTag)) {
    case PT_LONG:
        return cell.number == value.Value.l;
    case PT_BINARY:
        return cell.size == value.Value.bin.cb && memcmp(cell.bytes, value.Value.bin.lpb, cell.size) == 0;
    case PT_STRING8:
        return text ? TextAsAnsi(cell, codePage) == value.Value.lpszA
                    : cell.size == strlen(value.Value.lpszA) &&
                          memcmp(cell.bytes, value.Value.lpszA, cell.size) == 0;
    case PT_UNICODE:
        return text && TextAsUtf16(cell) == value.Value.lpszW;
    default:
        return false;
    }
}

} // namespace

HRESULT CheckRestriction(const SRestriction* restriction) {
    return Check(restriction, 0);
}

bool Matches(const SRestriction& restriction, const RowView& row, UINT codePage) {
    switch (restriction.rt) {
    case RES_AND:
        for (ULONG i = 0; i < restriction.res.resAnd.cRes; ++i) {
            if (!Matches(restriction.res.resAnd.lpRes[i], row, codePage))
                return false;
        }
        return true;
    case RES_OR:
        for (ULONG i = 0; i < restriction.res.resOr.cRes; ++i) {
            if (Matches(restriction.res.resOr.lpRes[i], row, codePage))
                return true;
        }
        return false;
    case RES_NOT:
        return !Matches(*restriction.res.resNot.lpRes, row, codePage);
    case RES_EXIST:
        return row.Find(restriction.res.resExist.ulPropTag) != nullptr;
    case RES_PROPERTY: {
        // A row without the property matches neither EQ nor NE.
        const SPropertyRestriction& property = restriction.res.resProperty;
        const Cell* cell = row.Find(property.ulPropTag);
        if (!cell)
            return false;
        const bool equal = Equal(*cell, *property.lpProp, codePage);
        return property.relop == RELOP_EQ ? equal : !equal;
    }
    default:
        return false;
    }
}

} // namespace mapisim
