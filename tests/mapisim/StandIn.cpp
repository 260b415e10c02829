#include "tests/mapisim/StandIn.h"
#include <gtest/gtest.h>

void StandInLibrary::Unload() {
    if (!loaded)
        return;
    // The program keeps its reference to the last; the test drops it through the module
    // that holds the bound entry points, then forgets them.
    HMODULE module = nullptr;
    if (::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                 GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(MAPIInitialize)), &module))
        ::FreeLibrary(module);
    static_cast<MapiLibrary&>(*this) = MapiLibrary();
    loaded = false;
}

HRESULT StandInLibrary::InitializeForReader() {
    MAPIINIT_0 init{MAPI_INIT_VERSION, MAPI_MULTITHREAD_NOTIFICATIONS};
    return MAPIInitialize(&init);
}

RowValues ReadRow(const SRow& row) {
    RowValues values;
    EXPECT_GE(row.cValues, 4u);
    if (row.cValues < 4)
        return values;
    const SPropValue* props = row.lpProps;
    values.hasType = PROP_TYPE(props[0].ulPropTag) != PT_ERROR;
    if (values.hasType)
        values.type = props[0].Value.l;
    auto text = [](const SPropValue& value, bool& present, std::string& out) {
        present = PROP_TYPE(value.ulPropTag) != PT_ERROR;
        if (PROP_TYPE(value.ulPropTag) == PT_UNICODE)
            out = Utf8(value.Value.lpszW);
        else if (present)
            out = value.Value.lpszA;
        else
            EXPECT_EQ(value.Value.err, MAPI_E_NOT_FOUND);
    };
    text(props[1], values.hasName, values.name);
    text(props[2], values.hasSmtp, values.smtp);
    text(props[3], values.hasDn, values.dn);
    values.hasTypeEx = row.cValues > 4 && props[4].ulPropTag == mapiconst::PR_DISPLAY_TYPE_EX;
    if (values.hasTypeEx)
        values.typeEx = props[4].Value.l;
    return values;
}

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

LPSPropTagArray ReaderColumns(bool unicode) {
    static SizedSPropTagArray(5,
                              wide) = {5,
                                       {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_W, mapiconst::PR_SMTP_ADDRESS_W,
                                        mapiconst::PR_EMS_AB_OBJ_DIST_NAME_W, mapiconst::PR_DISPLAY_TYPE_EX}};
    static SizedSPropTagArray(5, narrow) = {5,
                                            {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_A, mapiconst::PR_SMTP_ADDRESS_A,
                                             mapiconst::PR_EMS_AB_OBJ_DIST_NAME_A,
                                             mapiconst::PR_DISPLAY_TYPE_EX}};
    return unicode ? reinterpret_cast<LPSPropTagArray>(&wide) : reinterpret_cast<LPSPropTagArray>(&narrow);
}

GalRestriction::GalRestriction() {
    provider.ulPropTag = PR_AB_PROVIDER_ID;
    provider.Value.bin.cb = sizeof(mapiconst::ExchangeAddressBook);
    provider.Value.bin.lpb = const_cast<LPBYTE>(mapiconst::ExchangeAddressBook);
    containerId.ulPropTag = mapiconst::PR_EMS_AB_CONTAINERID;
    containerId.Value.l = 0;
    parts[0].rt = RES_PROPERTY;
    parts[0].res.resProperty = SPropertyRestriction{RELOP_EQ, PR_AB_PROVIDER_ID, &provider};
    parts[1].rt = RES_PROPERTY;
    parts[1].res.resProperty = SPropertyRestriction{RELOP_EQ, mapiconst::PR_EMS_AB_CONTAINERID, &containerId};
    top.rt = RES_AND;
    top.res.resAnd = SAndRestriction{2, parts};
}

GalSession::~GalSession() {
    Close();
}

void GalSession::Close() {
    book.Release();
    if (session.Get())
        session->Logoff(0, MAPI_LOGOFF_SHARED, 0);
    session.Release();
    if (initialized)
        mapi.MAPIUninitialize();
    initialized = false;
}

HRESULT GalSession::Logon(ULONG flags) {
    HRESULT result = mapi.InitializeForReader();
    if (FAILED(result))
        return result;
    initialized = true;
    return mapi.MAPILogonEx(0, nullptr, nullptr, flags, session.Receive());
}

HRESULT GalSession::OpenBook() {
    return session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, book.Receive());
}

HRESULT GalSession::FindContainers(LPSRestriction restriction, std::vector<std::string>& ids) {
    ids.clear();
    ULONG type = 0;
    MapiPtr<IABContainer> root;
    HRESULT result = book->OpenEntry(0, nullptr, nullptr, MAPI_DEFERRED_ERRORS, &type, root.ReceiveUnknown());
    if (FAILED(result))
        return result;
    EXPECT_EQ(type, MAPI_ABCONT);
    MapiPtr<IMAPITable> hierarchy;
    result = root->GetHierarchyTable(CONVENIENT_DEPTH | MAPI_DEFERRED_ERRORS, hierarchy.Receive());
    if (FAILED(result))
        return result;
    SizedSPropTagArray(1, entryId) = {1, {PR_ENTRYID}};
    LPSRowSet rows = nullptr;
    result = mapi.HrQueryAllRows(hierarchy.Get(), reinterpret_cast<LPSPropTagArray>(&entryId), restriction,
                                 nullptr, 0, &rows);
    if (FAILED(result))
        return result;
    for (ULONG i = 0; i < rows->cRows; ++i) {
        const SPropValue& value = rows->aRow[i].lpProps[0];
        EXPECT_EQ(value.ulPropTag, PR_ENTRYID);
        ids.emplace_back(reinterpret_cast<const char*>(value.Value.bin.lpb), value.Value.bin.cb);
    }
    mapi.FreeProws(rows);
    return result;
}

HRESULT GalSession::OpenContainer(const std::string& id, ULONG flags, MapiPtr<IABContainer>& container) {
    ULONG type = 0;
    return book->OpenEntry(static_cast<ULONG>(id.size()),
                           reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())), nullptr, flags, &type,
                           container.ReceiveUnknown());
}

HRESULT GalSession::OpenGalTable(MapiPtr<IMAPITable>& table) {
    HRESULT result = Logon();
    if (SUCCEEDED(result))
        result = OpenBook();
    return SUCCEEDED(result) ? OpenGalContents(table) : result;
}

HRESULT GalSession::OpenGalContents(MapiPtr<IMAPITable>& table) {
    std::vector<std::string> ids;
    GalRestriction restriction;
    HRESULT result = FindContainers(restriction.Get(), ids);
    if (SUCCEEDED(result) && ids.size() != 1)
        result = E_FAIL;
    MapiPtr<IABContainer> gal;
    if (SUCCEEDED(result))
        result = OpenContainer(ids[0], MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS, gal);
    if (SUCCEEDED(result))
        result = gal->GetContentsTable(0, table.Receive());
    if (SUCCEEDED(result))
        result = table->SetColumns(ReaderColumns(), TBL_BATCH);
    return result;
}

HRESULT GalSession::ReadAll(IMAPITable* table, std::vector<RowValues>& rows, LONG batch) {
    for (;;) {
        LPSRowSet set = nullptr;
        const HRESULT result = table->QueryRows(batch, 0, &set);
        if (FAILED(result))
            return result;
        const ULONG count = set->cRows;
        for (ULONG i = 0; i < count; ++i)
            rows.push_back(ReadRow(set->aRow[i]));
        mapi.FreeProws(set);
        if (count == 0)
            return S_OK;
    }
}

std::string SixtyEntries() {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "0\tUser " + std::to_string(i) + "\tuser" + std::to_string(i) + "@x.example\t/o=x/cn=u" +
                std::to_string(i) + "\n";
    return text;
}
