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
    return AnswerGetProps(tags, flags, count, values, [this](RowView& properties, ULONG textType) {
        if (!Setup().hasProfileUser)
            return std::vector<ULONG>();
        properties.AddText(PR_PROFILE_USER, Setup().profileUser);
        return std::vector<ULONG>{PROP_TAG(textType, PROP_ID(PR_PROFILE_USER))};
    });
}

} // namespace mapisim
