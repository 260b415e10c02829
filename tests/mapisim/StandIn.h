#pragma once
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>
#include <mapicode.h>
#include <string>
#include <vector>
#include "directory/MapiConstants.h"
#include "directory/MapiLibrary.h"
#include "directory/MapiObjects.h"

// The flags the program logs on with from the window.
constexpr ULONG kReaderLogonFlags = MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_EXTENDED | MAPI_NO_MAIL;

// A directory file of sixty mail users "User <i>": two full batches of 25 and a short one.
std::string SixtyEntries();

// The stand-in MAPI32.dll, loaded and bound by the program's own MapiLibrary. Unlike the
// program, a test unloads it again, so that each test starts from a freshly loaded DLL;
// unloading writes the ledger a last time.
class StandInLibrary : public MapiLibrary {
public:
    StandInLibrary() : loaded(Load()) {}
    ~StandInLibrary() { Unload(); }

    bool Loaded() const { return loaded; }
    void Unload();

    // MAPIInitialize as the program calls it.
    HRESULT InitializeForReader();

private:
    bool loaded;
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
    explicit GalSession(StandInLibrary& mapi) : mapi(mapi) {}
    ~GalSession();
    GalSession(const GalSession&) = delete;
    GalSession& operator=(const GalSession&) = delete;

    // Every step up to the address book; false (with the failing result) when one fails.
    HRESULT Logon(ULONG flags = kReaderLogonFlags);
    HRESULT OpenBook();
    // The entry identifiers of the root's containers that match restriction (none: all).
    HRESULT FindContainers(LPSRestriction restriction, std::vector<std::string>& ids);
    HRESULT OpenContainer(const std::string& id, ULONG flags, MapiPtr<IABContainer>& container);
    // Logon, book, then OpenGalContents.
    HRESULT OpenGalTable(MapiPtr<IMAPITable>& table);
    // In the open address book: the one GAL, its contents table with the reader's columns.
    HRESULT OpenGalContents(MapiPtr<IMAPITable>& table);
    // Reads the whole table in batches; stops at the first failure and returns it.
    HRESULT ReadAll(IMAPITable* table, std::vector<RowValues>& rows, LONG batch = 25);

    LPMAPISESSION Session() const { return session.Get(); }
    LPADRBOOK Book() const { return book.Get(); }
    void Close();

private:
    StandInLibrary& mapi;
    bool initialized = false;
    MapiPtr<IMAPISession> session;
    MapiPtr<IAddrBook> book;
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
