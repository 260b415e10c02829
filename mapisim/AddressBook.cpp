#include "mapisim/AddressBook.h"
#include "mapisim/Container.h"
#include "mapisim/Hierarchy.h"
#include "mapisim/MailUser.h"

namespace mapisim {
namespace {

constexpr ULONG kOpenEntryFlags =
    MAPI_MODIFY | MAPI_DEFERRED_ERRORS | MAPI_BEST_ACCESS | MAPI_NO_CACHE | MAPI_CACHE_ONLY;

bool IsContainerInterface(LPCIID iid) {
    return !iid || SameIid(*iid, kIID_IABContainer) || SameIid(*iid, kIID_IMAPIContainer) ||
           SameIid(*iid, kIID_IMAPIProp) || SameIid(*iid, kIID_IUnknown);
}

} // namespace

AddressBook::AddressBook(std::shared_ptr<LogonState> logon) : MapiProp("IAddrBook", std::move(logon)) {}

STDMETHODIMP AddressBook::OpenEntry(ULONG entryIdSize, LPENTRYID entryId, LPCIID iid, ULONG flags,
                                    ULONG* objectType, LPUNKNOWN* object) {
    SimLock lock;
    Record("OpenEntry", flags);
    if (!object || !objectType || (entryIdSize > 0 && !entryId))
        return MAPI_E_INVALID_PARAMETER;
    *object = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("OpenEntry");
    if (FAILED(configured))
        return configured;
    if ((flags & ~kOpenEntryFlags) || ((flags & MAPI_NO_CACHE) && Setup().rejectNoCache))
        return MAPI_E_UNKNOWN_FLAGS;
    int index = -1; // no identifier: the root
    int container = 0;
    size_t entry = 0;
    if (entryIdSize > 0 && FindEntry(Setup(), entryId, entryIdSize, container, entry)) {
        // The directory's entries can be read, never changed.
        if (flags & MAPI_MODIFY)
            return MAPI_E_NO_ACCESS;
        if (iid && !SameIid(*iid, kIID_IMailUser) && !SameIid(*iid, kIID_IMAPIProp) &&
            !SameIid(*iid, kIID_IUnknown))
            return MAPI_E_INTERFACE_NOT_SUPPORTED;
        RowView row;
        Setup().containers[container].contents->Fill(entry, row);
        const Cell* type = row.Find(PR_OBJECT_TYPE);
        *objectType = type ? static_cast<ULONG>(type->number) : MAPI_MAILUSER;
        *object = static_cast<IMailUser*>(new MailUser(logon, container, entry));
        return configured;
    }
    if (entryIdSize > 0) {
        index = FindContainer(Setup(), entryId, entryIdSize);
        if (index < 0)
            return MAPI_E_UNKNOWN_ENTRYID;
    }
    if (!IsContainerInterface(iid))
        return MAPI_E_INTERFACE_NOT_SUPPORTED;
    *objectType = MAPI_ABCONT;
    *object = static_cast<IABContainer*>(new AbContainer(logon, index));
    return configured;
}

} // namespace mapisim
