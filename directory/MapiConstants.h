#pragma once
#include <windows.h>
#include <mapidefs.h>
#include <mapitags.h>

// Values the published MAPI headers of the toolchain do not carry.
namespace mapiconst {
constexpr ULONG PR_PROFILE_USER = PROP_TAG(PT_STRING8, 0x6603);
constexpr ULONG PR_SMTP_ADDRESS_A = PROP_TAG(PT_STRING8, 0x39FE);
constexpr ULONG PR_SMTP_ADDRESS_W = PROP_TAG(PT_UNICODE, 0x39FE);
constexpr ULONG PR_EMS_AB_OBJ_DIST_NAME_A = PROP_TAG(PT_STRING8, 0x803C);
constexpr ULONG PR_EMS_AB_OBJ_DIST_NAME_W = PROP_TAG(PT_UNICODE, 0x803C);
constexpr ULONG PR_DISPLAY_TYPE_EX = PROP_TAG(PT_LONG, 0x3905);
constexpr ULONG PR_EMS_AB_CONTAINERID = PROP_TAG(PT_LONG, 0xFFFD);

// PR_DISPLAY_TYPE_EX's local types beyond the classic display types.
constexpr ULONG DT_ROOM = 7;
constexpr ULONG DT_EQUIPMENT = 8;
constexpr ULONG DT_SEC_DISTLIST = 9;

constexpr ULONG MAPI_NO_CACHE = 0x00000200;

// A provider that reconnected under the caller: to be handled as an ended session.
constexpr HRESULT MAPI_E_RECONNECTED = static_cast<HRESULT>(0x80040125);

// The global profile section (pbGlobalProfileSectionGuid).
constexpr BYTE GlobalProfileSection[16] = {0x13, 0xDB, 0xB0, 0xC8, 0xAA, 0x05, 0x10, 0x1A,
                                           0x9B, 0xB0, 0x00, 0xAA, 0x00, 0x2F, 0xC4, 0x5A};
// The Exchange address-book provider's UID (MUIDEMSAB).
constexpr BYTE ExchangeAddressBook[16] = {0xDC, 0xA7, 0x40, 0xC8, 0xC0, 0x42, 0x10, 0x1A,
                                          0xB4, 0xB9, 0x08, 0x00, 0x2B, 0x2F, 0xE1, 0x82};
} // namespace mapiconst
