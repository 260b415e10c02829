#pragma once
#include "mapisim/MapiObject.h"

namespace mapisim {

// IMsgServiceAdmin: opens the global profile section, nothing else.
class ServiceAdmin : public MapiObject<IMsgServiceAdmin> {
public:
    explicit ServiceAdmin(std::shared_ptr<LogonState> logon);

    STDMETHODIMP OpenProfileSection(LPMAPIUID uid, LPCIID iid, ULONG flags, LPPROFSECT* section) override;

    MAPISIM_NO_SUPPORT(GetLastError, (HRESULT, ULONG, LPMAPIERROR*))
    MAPISIM_NO_SUPPORT(GetMsgServiceTable, (ULONG, LPMAPITABLE*))
    MAPISIM_NO_SUPPORT(CreateMsgService, (LPTSTR, LPTSTR, ULONG_PTR, ULONG))
    MAPISIM_NO_SUPPORT(DeleteMsgService, (LPMAPIUID))
    MAPISIM_NO_SUPPORT(CopyMsgService, (LPMAPIUID, LPTSTR, LPCIID, LPCIID, LPVOID, ULONG_PTR, ULONG))
    MAPISIM_NO_SUPPORT(RenameMsgService, (LPMAPIUID, ULONG, LPTSTR))
    MAPISIM_NO_SUPPORT(ConfigureMsgService, (LPMAPIUID, ULONG_PTR, ULONG, ULONG, LPSPropValue))
    MAPISIM_NO_SUPPORT(MsgServiceTransportOrder, (ULONG, LPMAPIUID, ULONG))
    MAPISIM_NO_SUPPORT(AdminProviders, (LPMAPIUID, ULONG, LPPROVIDERADMIN*))
    MAPISIM_NO_SUPPORT(SetPrimaryIdentity, (LPMAPIUID, ULONG))
    MAPISIM_NO_SUPPORT(GetProviderTable, (ULONG, LPMAPITABLE*))

private:
    bool Implements(const IID& iid) const override { return SameIid(iid, kIID_IMsgServiceAdmin); }
};

// The global profile section: PR_PROFILE_USER, when the scenario has one.
class ProfileSection : public MapiProp<IProfSect> {
public:
    explicit ProfileSection(std::shared_ptr<LogonState> logon);

    STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override;

private:
    bool Implements(const IID& iid) const override {
        return SameIid(iid, kIID_IProfSect) || SameIid(iid, kIID_IMAPIProp);
    }
};

} // namespace mapisim
