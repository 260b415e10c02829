#pragma once
#include "mapisim/MapiObject.h"

namespace mapisim {

// IAddrBook: opens the root container (no entry identifier) or a container by its
// identifier.
class AddressBook : public MapiProp<IAddrBook> {
public:
    explicit AddressBook(std::shared_ptr<LogonState> logon);

    STDMETHODIMP OpenEntry(ULONG entryIdSize, LPENTRYID entryId, LPCIID iid, ULONG flags, ULONG* objectType,
                           LPUNKNOWN* object) override;

    MAPISIM_NO_SUPPORT(CompareEntryIDs, (ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*))
    MAPISIM_NO_SUPPORT(Advise, (ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*))
    MAPISIM_NO_SUPPORT(Unadvise, (ULONG))
    MAPISIM_NO_SUPPORT(CreateOneOff, (LPTSTR, LPTSTR, LPTSTR, ULONG, ULONG*, LPENTRYID*))
    MAPISIM_NO_SUPPORT(NewEntry, (ULONG_PTR, ULONG, ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG*, LPENTRYID*))
    MAPISIM_NO_SUPPORT(ResolveName, (ULONG_PTR, ULONG, LPTSTR, LPADRLIST))
    MAPISIM_NO_SUPPORT(Address, (ULONG_PTR*, LPADRPARM, LPADRLIST*))
    MAPISIM_NO_SUPPORT(Details,
                       (ULONG*, LPFNDISMISS, LPVOID, ULONG, LPENTRYID, LPFNBUTTON, LPVOID, LPTSTR, ULONG))
    MAPISIM_NO_SUPPORT(RecipOptions, (ULONG_PTR, ULONG, LPADRENTRY))
    MAPISIM_NO_SUPPORT(QueryDefaultRecipOpt, (LPTSTR, ULONG, ULONG*, LPSPropValue*))
    MAPISIM_NO_SUPPORT(GetPAB, (ULONG*, LPENTRYID*))
    MAPISIM_NO_SUPPORT(SetPAB, (ULONG, LPENTRYID))
    MAPISIM_NO_SUPPORT(GetDefaultDir, (ULONG*, LPENTRYID*))
    MAPISIM_NO_SUPPORT(SetDefaultDir, (ULONG, LPENTRYID))
    MAPISIM_NO_SUPPORT(GetSearchPath, (ULONG, LPSRowSet*))
    MAPISIM_NO_SUPPORT(SetSearchPath, (ULONG, LPSRowSet))
    MAPISIM_NO_SUPPORT(PrepareRecips, (ULONG, LPSPropTagArray, LPADRLIST))

private:
    bool Implements(const IID& iid) const override {
        return SameIid(iid, kIID_IAddrBook) || SameIid(iid, kIID_IMAPIProp);
    }
};

} // namespace mapisim
