#include "tests/mapisim/MapiLibrary.h"
#include <gtest/gtest.h>

const BYTE kMuidEmsAb[16] = {0xDC, 0xA7, 0x40, 0xC8, 0xC0, 0x42, 0x10, 0x1A,
                             0xB4, 0xB9, 0x08, 0x00, 0x2B, 0x2F, 0xE1, 0x82};
const BYTE kGlobalProfileSection[16] = {0x13, 0xDB, 0xB0, 0xC8, 0xAA, 0x05, 0x10, 0x1A,
                                        0x9B, 0xB0, 0x00, 0xAA, 0x00, 0x2F, 0xC4, 0x5A};

namespace {

template <class F> void Bind(HMODULE module, int ordinal, F& function) {
    function =
        reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

} // namespace

MapiLibrary::MapiLibrary() {
    module = ::LoadLibraryExW(L"MAPI32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module)
        return;
    Bind(module, 11, LogonEx);
    Bind(module, 13, AllocateBuffer);
    Bind(module, 17, FreeBuffer);
    Bind(module, 21, Initialize);
    Bind(module, 23, Uninitialize);
    Bind(module, 75, QueryAllRows);
    Bind(module, 129, UlRelease);
    Bind(module, 140, FreeProws);
}

void MapiLibrary::Unload() {
    if (module)
        ::FreeLibrary(module);
    module = nullptr;
}

HRESULT MapiLibrary::InitializeForReader() {
    MAPIINIT_0 init{MAPI_INIT_VERSION, MAPI_MULTITHREAD_NOTIFICATIONS};
    return Initialize(&init);
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
    values.hasTypeEx = row.cValues > 4 && props[4].ulPropTag == kPrDisplayTypeEx;
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
    static SizedSPropTagArray(5, wide) = {
        5, {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_W, kPrSmtpAddressW, kPrObjDistNameW, kPrDisplayTypeEx}};
    static SizedSPropTagArray(5, narrow) = {
        5, {PR_DISPLAY_TYPE, PR_DISPLAY_NAME_A, kPrSmtpAddressA, kPrObjDistNameA, kPrDisplayTypeEx}};
    return unicode ? reinterpret_cast<LPSPropTagArray>(&wide) : reinterpret_cast<LPSPropTagArray>(&narrow);
}

GalRestriction::GalRestriction() {
    provider.ulPropTag = PR_AB_PROVIDER_ID;
    provider.Value.bin.cb = sizeof(kMuidEmsAb);
    provider.Value.bin.lpb = const_cast<LPBYTE>(kMuidEmsAb);
    containerId.ulPropTag = kPrContainerId;
    containerId.Value.l = 0;
    parts[0].rt = RES_PROPERTY;
    parts[0].res.resProperty = SPropertyRestriction{RELOP_EQ, PR_AB_PROVIDER_ID, &provider};
    parts[1].rt = RES_PROPERTY;
    parts[1].res.resProperty = SPropertyRestriction{RELOP_EQ, kPrContainerId, &containerId};
    top.rt = RES_AND;
    top.res.resAnd = SAndRestriction{2, parts};
}

GalSession::~GalSession() {
    Close();
}

void GalSession::Close() {
    book.Reset();
    if (session.Get())
        session->Logoff(0, MAPI_LOGOFF_SHARED, 0);
    session.Reset();
    if (initialized)
        mapi.Uninitialize();
    initialized = false;
}

HRESULT GalSession::Logon(ULONG flags) {
    HRESULT result = mapi.InitializeForReader();
    if (FAILED(result))
        return result;
    initialized = true;
    return mapi.LogonEx(0, nullptr, nullptr, flags, session.Receive());
}

HRESULT GalSession::OpenBook() {
    return session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, book.Receive());
}

HRESULT GalSession::FindContainers(LPSRestriction restriction, std::vector<std::string>& ids) {
    ids.clear();
    ULONG type = 0;
    Ref<IABContainer> root;
    HRESULT result =
        book->OpenEntry(0, nullptr, nullptr, MAPI_DEFERRED_ERRORS, &type, root.ReceiveAs<IUnknown>());
    if (FAILED(result))
        return result;
    EXPECT_EQ(type, MAPI_ABCONT);
    Ref<IMAPITable> hierarchy;
    result = root->GetHierarchyTable(CONVENIENT_DEPTH | MAPI_DEFERRED_ERRORS, hierarchy.Receive());
    if (FAILED(result))
        return result;
    SizedSPropTagArray(1, entryId) = {1, {PR_ENTRYID}};
    LPSRowSet rows = nullptr;
    result = mapi.QueryAllRows(hierarchy.Get(), reinterpret_cast<LPSPropTagArray>(&entryId), restriction,
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

HRESULT GalSession::OpenContainer(const std::string& id, ULONG flags, Ref<IABContainer>& container) {
    ULONG type = 0;
    return book->OpenEntry(static_cast<ULONG>(id.size()),
                           reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())), nullptr, flags, &type,
                           container.ReceiveAs<IUnknown>());
}

HRESULT GalSession::OpenGalTable(Ref<IMAPITable>& table) {
    HRESULT result = Logon();
    if (SUCCEEDED(result))
        result = OpenBook();
    return SUCCEEDED(result) ? OpenGalContents(table) : result;
}

HRESULT GalSession::OpenGalContents(Ref<IMAPITable>& table) {
    std::vector<std::string> ids;
    GalRestriction restriction;
    HRESULT result = FindContainers(restriction.Get(), ids);
    if (SUCCEEDED(result) && ids.size() != 1)
        result = E_FAIL;
    Ref<IABContainer> gal;
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
