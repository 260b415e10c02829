#pragma once
#include "mapisim/RowView.h"

namespace mapisim {

// Restrictions are evaluated for real, as far as this library goes: RES_AND, RES_OR,
// RES_NOT, RES_EXIST, and RES_PROPERTY with RELOP_EQ or RELOP_NE on PT_LONG, PT_BINARY,
// PT_STRING8 and PT_UNICODE values. CheckRestriction answers MAPI_E_TOO_COMPLEX for anything
// else, MAPI_E_INVALID_PARAMETER for a malformed one; Matches assumes it passed. 8-bit texts
// compare in codePage.
HRESULT CheckRestriction(const SRestriction* restriction);
bool Matches(const SRestriction& restriction, const RowView& row, UINT codePage);

} // namespace mapisim
