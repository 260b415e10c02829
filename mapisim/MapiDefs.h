#pragma once
// The published MAPI declarations this library implements, plus the few tags and
// identifiers that MinGW-w64's headers leave out.
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>
#include <mapicode.h>
#include <mapitags.h>
#include <mapidefs.h>

#ifndef PR_PROFILE_USER
#define PR_PROFILE_USER PROP_TAG(PT_STRING8, 0x6603)
#endif
#ifndef PR_SMTP_ADDRESS_A
#define PR_SMTP_ADDRESS_A PROP_TAG(PT_STRING8, 0x39FE)
#endif
#ifndef PR_EMS_AB_OBJ_DIST_NAME_A
#define PR_EMS_AB_OBJ_DIST_NAME_A PROP_TAG(PT_STRING8, 0x803C)
#endif
#ifndef PR_EMS_AB_CONTAINERID
#define PR_EMS_AB_CONTAINERID PROP_TAG(PT_LONG, 0xFFFD)
#endif
#ifndef DT_NOT_SPECIFIC
#define DT_NOT_SPECIFIC ((ULONG)0x00050000)
#endif
#ifndef DT_ORGANIZATION
#define DT_ORGANIZATION ((ULONG)0x00000004)
#endif
#ifndef DT_PRIVATE_DISTLIST
#define DT_PRIVATE_DISTLIST ((ULONG)0x00000005)
#endif
#ifndef DT_REMOTE_MAILUSER
#define DT_REMOTE_MAILUSER ((ULONG)0x00000006)
#endif
#ifndef MAPI_NO_CACHE
#define MAPI_NO_CACHE ((ULONG)0x00000200)
#endif
#ifndef MAPI_CACHE_ONLY
#define MAPI_CACHE_ONLY ((ULONG)0x00004000)
#endif
#ifndef MAPI_NO_COINIT
#define MAPI_NO_COINIT ((ULONG)0x00000008)
#endif
#ifndef MAPI_NT_SERVICE
#define MAPI_NT_SERVICE ((ULONG)0x00010000)
#endif
#ifndef MAPI_USE_DEFAULT
#define MAPI_USE_DEFAULT ((ULONG)0x00000040)
#endif
#ifndef MAPI_BG_SESSION
#define MAPI_BG_SESSION ((ULONG)0x00200000)
#endif
#ifndef MAPI_FORCE_ACCESS
#define MAPI_FORCE_ACCESS ((ULONG)0x00080000)
#endif
#ifndef MAPI_E_RECONNECTED
#define MAPI_E_RECONNECTED MAKE_MAPI_E(0x125)
#endif
#ifndef SHOW_SOFT_DELETES
#define SHOW_SOFT_DELETES ((ULONG)0x00000002)
#endif

namespace mapisim {

// The Exchange address-book provider's UID (MUIDEMSAB).
constexpr BYTE kMuidEmsAb[16] = {0xDC, 0xA7, 0x40, 0xC8, 0xC0, 0x42, 0x10, 0x1A,
                                 0xB4, 0xB9, 0x08, 0x00, 0x2B, 0x2F, 0xE1, 0x82};
// Another provider's UID, for the containers that must not pass for the GAL.
constexpr BYTE kMuidOtherProvider[16] = {0x0A, 0x0D, 0x02, 0x05, 0x4E, 0x35, 0x11, 0xD1,
                                         0x9A, 0x4E, 0x00, 0x60, 0x08, 0x3C, 0x3D, 0x71};
// pbGlobalProfileSectionGuid.
constexpr BYTE kGlobalProfileSection[16] = {0x13, 0xDB, 0xB0, 0xC8, 0xAA, 0x05, 0x10, 0x1A,
                                            0x9B, 0xB0, 0x00, 0xAA, 0x00, 0x2F, 0xC4, 0x5A};

// MAPI's interface identifiers are OLE GUIDs {xxxxxxxx-0000-0000-C000-000000000046}.
constexpr IID OleGuid(unsigned long first) {
    return IID{first, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}
constexpr IID kIID_IUnknown = OleGuid(0x00000000);
constexpr IID kIID_IMAPISession = OleGuid(0x00020300);
constexpr IID kIID_IMAPITable = OleGuid(0x00020301);
constexpr IID kIID_IMAPIProp = OleGuid(0x00020303);
constexpr IID kIID_IProfSect = OleGuid(0x00020304);
constexpr IID kIID_IAddrBook = OleGuid(0x00020309);
constexpr IID kIID_IMailUser = OleGuid(0x0002030A);
constexpr IID kIID_IMAPIContainer = OleGuid(0x0002030B);
constexpr IID kIID_IABContainer = OleGuid(0x0002030D);
constexpr IID kIID_IMsgServiceAdmin = OleGuid(0x0002031D);

inline bool SameIid(const IID& a, const IID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           memcmp(a.Data4, b.Data4, sizeof(a.Data4)) == 0;
}

} // namespace mapisim
