#pragma once
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>
#include <mapicode.h>
#include <mapitags.h>
#include <string>
#include <vector>

// Tags and identifiers the MinGW-w64 headers leave out.
constexpr ULONG kPrProfileUser = PROP_TAG(PT_STRING8, 0x6603);
constexpr ULONG kPrSmtpAddressA = PROP_TAG(PT_STRING8, 0x39FE);
constexpr ULONG kPrObjDistNameA = PROP_TAG(PT_STRING8, 0x803C);
constexpr ULONG kPrSmtpAddressW = PROP_TAG(PT_UNICODE, 0x39FE);
constexpr ULONG kPrObjDistNameW = PROP_TAG(PT_UNICODE, 0x803C);
constexpr ULONG kPrDisplayTypeEx = PROP_TAG(PT_LONG, 0x3905);
constexpr ULONG kPrContainerId = PROP_TAG(PT_LONG, 0xFFFD);
constexpr ULONG kMapiNoCache = 0x200;
constexpr ULONG kReaderLogonFlags = MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_EXTENDED | MAPI_NO_MAIL;
extern const BYTE kMuidEmsAb[16];
extern const BYTE kGlobalProfileSection[16];

// A directory file of sixty mail users "User <i>": two full batches of 25 and a short one.
std::string SixtyEntries();

// The stand-in MAPI32.dll, loaded by name from the prefix's system folder as the program
// loads it, and bound by ordinal. Unloading writes the ledger a last time.
class MapiLibrary {
public:
    MapiLibrary();
    ~MapiLibrary() { Unload(); }
    MapiLibrary(const MapiLibrary&) = delete;
    MapiLibrary& operator=(const MapiLibrary&) = delete;

    bool Loaded() const { return module != nullptr; }
    void Unload();

    using HrQueryAllRowsFn = HRESULT(WINAPI*)(LPMAPITABLE, LPSPropTagArray, LPSRestriction, LPSSortOrderSet,
                                              LONG, LPSRowSet*);
    using UlReleaseFn = ULONG(WINAPI*)(LPVOID);
    using FreeProwsFn = void(WINAPI*)(LPSRowSet);

    LPMAPILOGONEX LogonEx = nullptr;
    LPMAPIALLOCATEBUFFER AllocateBuffer = nullptr;
    LPMAPIFREEBUFFER FreeBuffer = nullptr;
    LPMAPIINITIALIZE Initialize = nullptr;
    LPMAPIUNINITIALIZE Uninitialize = nullptr;
    HrQueryAllRowsFn QueryAllRows = nullptr;
    UlReleaseFn UlRelease = nullptr;
    FreeProwsFn FreeProws = nullptr;

    // MAPIInitialize as the program calls it.
    HRESULT InitializeForReader();

private:
    HMODULE module = nullptr;
};

// Releases an interface at scope end.
template <class T> class Ref {
public:
    Ref() = default;
    explicit Ref(T* object) : pointer(object) {}
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* Get() const { return pointer; }
    T* operator->() const { return pointer; }
    T** Receive() {
        Reset();
        return &pointer;
    }
    template <class U> U** ReceiveAs() { return reinterpret_cast<U**>(Receive()); }
    T* Detach() {
        T* object = pointer;
        pointer = nullptr;
        return object;
    }
    void Reset() {
        if (pointer)
            pointer->Release();
        pointer = nullptr;
    }

private:
    T* pointer = nullptr;
};

// One row's values read back; texts as UTF-8 when they came as UTF-16, as they came when 8-bit.
struct RowValues {
    bool hasType = false;
    long type = 0;
    bool hasName = false, hasSmtp = false, hasDn = false;
    std::string name, smtp, dn;
    bool hasTypeEx = false;
    long typeEx = 0;
};
// Reads a row of the reader's columns (type, name, SMTP, DN, and the extended type if there).
RowValues ReadRow(const SRow& row);

// The columns the program asks for, in its order: texts as UTF-16, or the 8-bit forms.
LPSPropTagArray ReaderColumns(bool unicode = true);
// UTF-16 as UTF-8 (invalid UTF-16 as U+FFFD).
std::string Utf8(const wchar_t* text);

// A logged-on session with the Global Address List's contents table open and its columns
// set, the way the program gets there. Start fails the test on any step; the destructor
// releases everything, logs off and uninitialises.
class GalSession {
public:
    explicit GalSession(MapiLibrary& mapi) : mapi(mapi) {}
    ~GalSession();
    GalSession(const GalSession&) = delete;
    GalSession& operator=(const GalSession&) = delete;

    // Every step up to the address book; false (with the failing result) when one fails.
    HRESULT Logon(ULONG flags = kReaderLogonFlags);
    HRESULT OpenBook();
    // The entry identifiers of the root's containers that match restriction (none: all).
    HRESULT FindContainers(LPSRestriction restriction, std::vector<std::string>& ids);
    HRESULT OpenContainer(const std::string& id, ULONG flags, Ref<IABContainer>& container);
    // Logon, book, then OpenGalContents.
    HRESULT OpenGalTable(Ref<IMAPITable>& table);
    // In the open address book: the one GAL, its contents table with the reader's columns.
    HRESULT OpenGalContents(Ref<IMAPITable>& table);
    // Reads the whole table in batches; stops at the first failure and returns it.
    HRESULT ReadAll(IMAPITable* table, std::vector<RowValues>& rows, LONG batch = 25);

    LPMAPISESSION Session() const { return session.Get(); }
    LPADRBOOK Book() const { return book.Get(); }
    void Close();

private:
    MapiLibrary& mapi;
    bool initialized = false;
    Ref<IMAPISession> session;
    Ref<IAddrBook> book;
};

// The program's restriction: PR_AB_PROVIDER_ID = MUIDEMSAB and PR_EMS_AB_CONTAINERID = 0.
class GalRestriction {
public:
    GalRestriction();
    LPSRestriction Get() { return &top; }

private:
    SPropValue provider{};
    SPropValue containerId{};
    SRestriction parts[2]{};
    SRestriction top{};
};
