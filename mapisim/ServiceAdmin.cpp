#include "mapisim/ServiceAdmin.h"
#include "mapisim/Values.h"
#include <cstring>

namespace mapisim {

ServiceAdmin::ServiceAdmin(std::shared_ptr<LogonState> logon)
    : MapiObject("IMsgServiceAdmin", std::move(logon)) {}

STDMETHODIMP ServiceAdmin::OpenProfileSection(LPMAPIUID uid, LPCIID iid, ULONG flags, LPPROFSECT* section) {
    SimLock lock;
    Record("OpenProfileSection", flags);
    if (!section || !uid)
        return MAPI_E_INVALID_PARAMETER;
    *section = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("OpenProfileSection");
    if (FAILED(configured))
        return configured;
    if (flags & ~(MAPI_DEFERRED_ERRORS | MAPI_MODIFY | MAPI_FORCE_ACCESS))
        return MAPI_E_UNKNOWN_FLAGS;
    if (iid && !SameIid(*iid, kIID_IProfSect) && !SameIid(*iid, kIID_IMAPIProp) &&
        !SameIid(*iid, kIID_IUnknown))
        return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (memcmp(uid->ab, kGlobalProfileSection, sizeof(kGlobalProfileSection)) != 0)
        return MAPI_E_NOT_FOUND; // only the global section exists here
    *section = new ProfileSection(logon);
    return configured;
}

ProfileSection::ProfileSection(std::shared_ptr<LogonState> logon) : MapiProp("IProfSect", std::move(logon)) {}

STDMETHODIMP ProfileSection::GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) {
    SimLock lock;
    Record("GetProps", flags);
    if (!count || !values)
        return MAPI_E_INVALID_PARAMETER;
    *count = 0;
    *values = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("GetProps");
    if (FAILED(configured))
        return configured;
    if (flags & ~MAPI_UNICODE)
        return MAPI_E_UNKNOWN_FLAGS;

    RowView properties;
    if (Setup().hasProfileUser)
        properties.AddText(PR_PROFILE_USER, Setup().profileUser);
    // No tag array asks for every property the section has, texts as the flag says.
    const ULONG everything[] = {(flags & MAPI_UNICODE) ? PROP_TAG(PT_UNICODE, PROP_ID(PR_PROFILE_USER))
                                                       : PR_PROFILE_USER};
    const ULONG* asked = tags ? tags->aulPropTag : everything;
    const ULONG askedCount = tags ? tags->cValues : (Setup().hasProfileUser ? 1 : 0);

    ULONG missing = 0;
    const SCODE made = MakeValues(Simulator::Get().buffers, properties, asked, askedCount,
                                  Setup().ansiCodePage, values, &missing);
    if (FAILED(made))
        return made;
    *count = askedCount;
    if (missing > 0)
        return MAPI_W_ERRORS_RETURNED;
    return configured;
}

} // namespace mapisim
