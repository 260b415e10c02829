#include "mapisim/Container.h"
#include "mapisim/Table.h"

namespace mapisim {

AbContainer::AbContainer(std::shared_ptr<LogonState> logon, int containerIndex)
    : MapiProp("IABContainer", std::move(logon)), index(containerIndex) {}

bool AbContainer::Implements(const IID& iid) const {
    return SameIid(iid, kIID_IABContainer) || SameIid(iid, kIID_IMAPIContainer) ||
           SameIid(iid, kIID_IMAPIProp);
}

STDMETHODIMP AbContainer::GetHierarchyTable(ULONG flags, LPMAPITABLE* table) {
    SimLock lock;
    Record("GetHierarchyTable", flags);
    if (!table)
        return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("GetHierarchyTable");
    if (FAILED(configured))
        return configured;
    if ((flags & MAPI_UNICODE) && !Setup().unicode)
        return MAPI_E_BAD_CHARWIDTH; // a provider without UTF-16
    if (flags & ~(CONVENIENT_DEPTH | MAPI_DEFERRED_ERRORS | SHOW_SOFT_DELETES | MAPI_UNICODE))
        return MAPI_E_UNKNOWN_FLAGS;
    auto rows = std::make_unique<HierarchyRows>(logon->scenario, index, (flags & CONVENIENT_DEPTH) != 0);
    *table = new Table(logon, std::move(rows), TableKind::Hierarchy, (flags & MAPI_UNICODE) != 0);
    return configured;
}

STDMETHODIMP AbContainer::GetContentsTable(ULONG flags, LPMAPITABLE* table) {
    SimLock lock;
    Record("GetContentsTable", flags);
    if (!table)
        return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("GetContentsTable");
    if (FAILED(configured))
        return configured;
    if ((flags & MAPI_UNICODE) && !Setup().unicode)
        return MAPI_E_BAD_CHARWIDTH;
    if (flags & ~(MAPI_DEFERRED_ERRORS | MAPI_UNICODE))
        return MAPI_E_UNKNOWN_FLAGS;
    if (index < 0)
        return MAPI_E_NO_SUPPORT; // the root holds containers, no entries
    auto rows = std::make_unique<ContentsRows>(Setup().containers[index].contents, index);
    *table = new Table(logon, std::move(rows), TableKind::Contents, (flags & MAPI_UNICODE) != 0);
    return configured;
}

} // namespace mapisim
