#pragma once
#include "mapisim/MapiObject.h"

namespace mapisim {

// An address-book container: the root (index -1), whose hierarchy table lists the
// others, or one of the scenario's containers, whose contents table lists its entries.
class AbContainer : public MapiProp<IABContainer> {
public:
    AbContainer(std::shared_ptr<LogonState> logon, int index);

    STDMETHODIMP GetContentsTable(ULONG flags, LPMAPITABLE* table) override;
    STDMETHODIMP GetHierarchyTable(ULONG flags, LPMAPITABLE* table) override;

    MAPISIM_NO_SUPPORT(OpenEntry, (ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*))
    MAPISIM_NO_SUPPORT(SetSearchCriteria, (LPSRestriction, LPENTRYLIST, ULONG))
    MAPISIM_NO_SUPPORT(GetSearchCriteria, (ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*))
    MAPISIM_NO_SUPPORT(CreateEntry, (ULONG, LPENTRYID, ULONG, LPMAPIPROP*))
    MAPISIM_NO_SUPPORT(CopyEntries, (LPENTRYLIST, ULONG, LPMAPIPROGRESS, ULONG))
    MAPISIM_NO_SUPPORT(DeleteEntries, (LPENTRYLIST, ULONG))
    MAPISIM_NO_SUPPORT(ResolveNames, (LPSPropTagArray, ULONG, LPADRLIST, LPFlagList))

private:
    bool Implements(const IID& iid) const override;
    const int index;
};

} // namespace mapisim
