#include <cstring>
#include <mapicode.h>
#include "buildmatch/BuildBitness.h"
#include "buildmatch/MatchingBuild.h"
#include "directory/DirectoryReader.h"
#include "directory/MapiConstants.h"

namespace {
WideString LogonFailureText(HRESULT result) {
    switch (result) {
    case MAPI_E_LOGON_FAILED:
        return L"The logon did not succeed, either because one or more of the parameters to Profile were "
               L"invalid "
               L"or because there were too many sessions open already.";
    case MAPI_E_USER_CANCEL:
        return L"The user canceled the operation, typically by choosing the Cancel button in a dialog box.";
    case MAPI_E_UNCONFIGURED:
        return L"A service provider has not been configured, and therefore the operation did not complete.";
    case MAPI_E_TIMEOUT:
        return L"MAPI serializes all logons through a mutex. This is returned if the another thread held the "
               L"mutex.";
    default:
        return L"The logon did not succeed";
    }
}

} // namespace

void DirectoryReader::SetUnattendedLogon(const WideString& profile) {
    unattended = true;
    logonProfile = profile;
}

bool DirectoryReader::Logon(WideString& message) {
    const Bitness outlookBitness = GetOutlookBitness();
    if (outlookBitness != BuildBitness) {
        message = BitnessErrorText(outlookBitness);
        NoteFailure(RunOutcome::WrongBitness);
        return false;
    }
    // A missing library or entry point is told like a failed initialisation.
    if (!mapi.Load()) {
        lastResult = MAPI_E_CALL_FAILED;
        message = L"ERROR: MAPIInitialize";
        NoteFailure(RunOutcome::InitializeFailed);
        return false;
    }
    MAPIINIT_0 init = {MAPI_INIT_VERSION, MAPI_MULTITHREAD_NOTIFICATIONS};
    lastResult = mapi.MAPIInitialize(&init);
    if (FAILED(lastResult)) {
        message = L"ERROR: MAPIInitialize";
        NoteFailure(RunOutcome::InitializeFailed);
        return false;
    }
    // Unattended: no dialog and nothing to wait for a person; the named profile (its name
    // passed as UTF-16) or the default one.
    const ULONG how = !unattended ? MAPI_LOGON_UI : logonProfile.empty() ? MAPI_USE_DEFAULT : MAPI_UNICODE;
    const ULONG flags = how | MAPI_NEW_SESSION | MAPI_EXTENDED | MAPI_NO_MAIL;
    LPTSTR profile = unattended && !logonProfile.empty()
                         ? reinterpret_cast<LPTSTR>(const_cast<wchar_t*>(logonProfile.c_str()))
                         : nullptr;
    // The main window owns the profile dialog, which keeps it disabled while the user chooses.
    const ULONG_PTR uiParent = unattended ? 0 : reinterpret_cast<ULONG_PTR>(window);
    lastResult = mapi.MAPILogonEx(uiParent, profile, nullptr, flags, session.Receive());
    if (lastResult >= 0)
        return true;
    message = LogonFailureText(lastResult);
    NoteFailure(RunOutcome::LogonFailed);
    // Balance the initialisation before the window may start the next run.
    mapi.MAPIUninitialize();
    return false;
}

bool DirectoryReader::ReadUserDN(ULONG tag, WideString& out) {
    out.clear();
    if (!session)
        return false;
    MapiPtr<IMsgServiceAdmin> admin;
    lastResult = session->AdminServices(0, admin.Receive());
    lastResult = Checked(lastResult, admin.Get());
    if (FAILED(lastResult))
        return false;
    MAPIUID sectionUid;
    static_assert(sizeof(sectionUid) == sizeof(mapiconst::GlobalProfileSection), "a MAPIUID is 16 bytes");
    std::memcpy(&sectionUid, mapiconst::GlobalProfileSection, sizeof(sectionUid));
    MapiPtr<IProfSect> section;
    lastResult = admin->OpenProfileSection(&sectionUid, nullptr, MAPI_DEFERRED_ERRORS, section.Receive());
    lastResult = Checked(lastResult, section.Get());
    if (FAILED(lastResult))
        return false;

    SizedSPropTagArray(1, tags) = {1, {tag}};
    ULONG count = 0;
    MapiBuffer<SPropValue> values(mapi);
    lastResult = section->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, values.Receive());
    if (lastResult != S_OK || !values)
        return false;
    bool found = true;
    for (ULONG i = 0; i < count; ++i) {
        const SPropValue& value = values.Get()[i];
        if (PROP_TYPE(value.ulPropTag) != PT_STRING8 || !value.Value.lpszA) // PT_ERROR: missing
            found = false;
        else
            out = MultiByteToWide(value.Value.lpszA, CP_ACP); // 8-bit MAPI text is ANSI
    }
    return found;
}

HRESULT DirectoryReader::OpenDirectory(MapiPtr<IAddrBook>& addressBook) {
    if (!session)
        return lastResult = MAPI_E_CALL_FAILED;
    lastResult = session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, addressBook.Receive());
    return lastResult = Checked(lastResult, addressBook.Get());
}

HRESULT DirectoryReader::FindGlobalAddressList(IAddrBook* addressBook, EntryId& id) {
    id.bytes.Free();
    id.size = 0;

    ULONG objectType = 0;
    MapiPtr<IMAPIContainer> root;
    lastResult =
        addressBook->OpenEntry(0, nullptr, nullptr, MAPI_DEFERRED_ERRORS, &objectType, root.ReceiveUnknown());
    if (FAILED(lastResult = Checked(lastResult, root.Get())))
        return lastResult;
    if (objectType != MAPI_ABCONT)
        return lastResult = E_FAIL;

    MapiPtr<IMAPITable> hierarchy;
    lastResult = root->GetHierarchyTable(CONVENIENT_DEPTH | MAPI_DEFERRED_ERRORS, hierarchy.Receive());
    if (FAILED(lastResult = Checked(lastResult, hierarchy.Get())))
        return lastResult;

    // The Global Address List is the Exchange provider's container with id 0.
    SizedSPropTagArray(1, columns) = {1, {PR_ENTRYID}};
    BYTE providerUid[sizeof(mapiconst::ExchangeAddressBook)];
    std::memcpy(providerUid, mapiconst::ExchangeAddressBook, sizeof(providerUid));
    SPropValue provider = {};
    provider.ulPropTag = PR_AB_PROVIDER_ID;
    provider.Value.bin.cb = sizeof(providerUid);
    provider.Value.bin.lpb = providerUid;
    SPropValue containerId = {};
    containerId.ulPropTag = mapiconst::PR_EMS_AB_CONTAINERID;
    containerId.Value.l = 0;
    SRestriction parts[2] = {};
    parts[0].rt = RES_PROPERTY;
    parts[0].res.resProperty = {RELOP_EQ, PR_AB_PROVIDER_ID, &provider};
    parts[1].rt = RES_PROPERTY;
    parts[1].res.resProperty = {RELOP_EQ, mapiconst::PR_EMS_AB_CONTAINERID, &containerId};
    SRestriction both = {};
    both.rt = RES_AND;
    both.res.resAnd = {2, parts};

    MapiRowSet rows(mapi);
    lastResult = mapi.HrQueryAllRows(hierarchy.Get(), reinterpret_cast<LPSPropTagArray>(&columns), &both,
                                     nullptr, 0, rows.Receive());
    if (FAILED(lastResult) || !rows || rows->cRows != 1)
        return lastResult = E_FAIL;
    const SRow& row = rows->aRow[0];
    if (row.cValues < 1 || !row.lpProps || row.lpProps[0].ulPropTag != PR_ENTRYID ||
        row.lpProps[0].Value.bin.cb == 0 || !row.lpProps[0].Value.bin.lpb)
        return lastResult = E_FAIL;

    const SBinary& found = row.lpProps[0].Value.bin;
    lastResult = mapi.MAPIAllocateBuffer(found.cb, reinterpret_cast<LPVOID*>(id.bytes.Receive()));
    if (FAILED(lastResult = Checked(lastResult, id.bytes.Get()))) {
        id.bytes.Free();
        return lastResult;
    }
    std::memcpy(id.bytes.Get(), found.lpb, found.cb);
    id.size = found.cb;
    return lastResult;
}

HRESULT DirectoryReader::OpenGlobalAddressList(IAddrBook* addressBook, const EntryId& id,
                                               MapiPtr<IABContainer>& container) {
    return OpenEntryUncached(addressBook, id.size, id.bytes.Get(), MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS,
                             container.ReceiveUnknown());
}

HRESULT DirectoryReader::OpenEntryUncached(IAddrBook* addressBook, ULONG size, LPENTRYID entryId, ULONG flags,
                                           LPUNKNOWN* object) {
    // The object type it reports is not needed: the callers know what they open.
    ULONG objectType = 0;
    lastResult =
        addressBook->OpenEntry(size, entryId, nullptr, flags | mapiconst::MAPI_NO_CACHE, &objectType, object);
    // Some providers reject the no-cache flag; open the entry without it then.
    if (lastResult == MAPI_E_UNKNOWN_FLAGS)
        lastResult = addressBook->OpenEntry(size, entryId, nullptr, flags, &objectType, object);
    return lastResult = Checked(lastResult, *object);
}

void DirectoryReader::CloseSession() {
    if (!session)
        return;
    lastResult = session->Logoff(0, MAPI_LOGOFF_SHARED, 0);
    session.Release();
}

void DirectoryReader::EndSession() {
    // Each step is guarded on its own, so the session always ends as far as it can.
    try {
        if (session)
            lastResult = session->Logoff(0, MAPI_LOGOFF_SHARED, 0);
    } catch (...) {
    }
    try {
        session.Release();
    } catch (...) {
    }
    try {
        mapi.MAPIUninitialize();
    } catch (...) {
    }
}
