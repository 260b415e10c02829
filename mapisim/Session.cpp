#include "mapisim/Session.h"
#include "mapisim/AddressBook.h"
#include "mapisim/ServiceAdmin.h"

namespace mapisim {

Session::Session(std::shared_ptr<LogonState> logon) : MapiObject("IMAPISession", std::move(logon)) {}

STDMETHODIMP Session::AdminServices(ULONG flags, LPSERVICEADMIN* admin) {
    SimLock lock;
    Record("AdminServices", flags);
    if (!admin)
        return MAPI_E_INVALID_PARAMETER;
    *admin = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("AdminServices");
    if (FAILED(configured))
        return configured;
    if (flags != 0)
        return MAPI_E_UNKNOWN_FLAGS; // reserved, must be zero
    *admin = new ServiceAdmin(logon);
    return configured;
}

STDMETHODIMP Session::OpenAddressBook(ULONG_PTR, LPCIID iid, ULONG flags, LPADRBOOK* book) {
    SimLock lock;
    Record("OpenAddressBook", flags);
    if (!book)
        return MAPI_E_INVALID_PARAMETER;
    *book = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("OpenAddressBook");
    if (FAILED(configured))
        return configured;
    if (flags & ~AB_NO_DIALOG)
        return MAPI_E_UNKNOWN_FLAGS;
    if (iid && !SameIid(*iid, kIID_IAddrBook) && !SameIid(*iid, kIID_IMAPIProp) &&
        !SameIid(*iid, kIID_IUnknown))
        return MAPI_E_INTERFACE_NOT_SUPPORTED;
    *book = new AddressBook(logon);
    return configured;
}

STDMETHODIMP Session::Logoff(ULONG_PTR, ULONG flags, ULONG reserved) {
    SimLock lock;
    Record("Logoff", flags);
    if (flags & ~(MAPI_LOGOFF_SHARED | MAPI_LOGOFF_UI))
        return MAPI_E_UNKNOWN_FLAGS;
    if (reserved != 0)
        return MAPI_E_INVALID_PARAMETER;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    logon->loggedOff = true;
    ++Simulator::Get().ledger.logoffs;
    return S_OK;
}

} // namespace mapisim
