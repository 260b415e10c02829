#pragma once
#include "mapisim/MapiObject.h"

namespace mapisim {

// The session MAPILogonEx hands out.
class Session : public MapiObject<IMAPISession> {
public:
    explicit Session(std::shared_ptr<LogonState> logon);

    STDMETHODIMP AdminServices(ULONG flags, LPSERVICEADMIN* admin) override;
    STDMETHODIMP OpenAddressBook(ULONG_PTR uiParam, LPCIID iid, ULONG flags, LPADRBOOK* book) override;
    STDMETHODIMP Logoff(ULONG_PTR uiParam, ULONG flags, ULONG reserved) override;

    MAPISIM_NO_SUPPORT(GetLastError, (HRESULT, ULONG, LPMAPIERROR*))
    MAPISIM_NO_SUPPORT(GetMsgStoresTable, (ULONG, LPMAPITABLE*))
    MAPISIM_NO_SUPPORT(OpenMsgStore, (ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*))
    MAPISIM_NO_SUPPORT(OpenProfileSection, (LPMAPIUID, LPCIID, ULONG, LPPROFSECT*))
    MAPISIM_NO_SUPPORT(GetStatusTable, (ULONG, LPMAPITABLE*))
    MAPISIM_NO_SUPPORT(OpenEntry, (ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*))
    MAPISIM_NO_SUPPORT(CompareEntryIDs, (ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*))
    MAPISIM_NO_SUPPORT(Advise, (ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*))
    MAPISIM_NO_SUPPORT(Unadvise, (ULONG))
    MAPISIM_NO_SUPPORT(MessageOptions, (ULONG_PTR, ULONG, LPTSTR, LPMESSAGE))
    MAPISIM_NO_SUPPORT(QueryDefaultMessageOpt, (LPTSTR, ULONG, ULONG*, LPSPropValue*))
    MAPISIM_NO_SUPPORT(EnumAdrTypes, (ULONG, ULONG*, LPTSTR**))
    MAPISIM_NO_SUPPORT(QueryIdentity, (ULONG*, LPENTRYID*))
    MAPISIM_NO_SUPPORT(SetDefaultStore, (ULONG, ULONG, LPENTRYID))
    MAPISIM_NO_SUPPORT(ShowForm, (ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG,
                                  ULONG, ULONG, LPSTR))
    MAPISIM_NO_SUPPORT(PrepareForm, (LPCIID, LPMESSAGE, ULONG*))

private:
    bool Implements(const IID& iid) const override { return SameIid(iid, kIID_IMAPISession); }
};

} // namespace mapisim
