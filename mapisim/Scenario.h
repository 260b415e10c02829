#pragma once
#include "mapisim/Directory.h"
#include "base/Strings.h"
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mapisim {

enum class DialogMode { Show, Auto, Cancel };

struct SessionBreak {
    unsigned long row;
    HRESULT result;
};

// One address-book container below the root.
struct Container {
    std::string name;     // UTF-8
    std::string entryId;  // the bytes of its entry identifier
    const BYTE* provider; // 16 bytes
    LONG containerId;
    LONG displayType;
    int parent; // index into Scenario::containers, -1 below the root
    std::shared_ptr<const Directory> contents;
};

// Everything one period of the simulated directory is made of, from the file that
// MAPISIM_SCENARIO names (or the defaults when there is none).
struct Scenario {
    WideString ledgerPath;
    std::shared_ptr<const Directory> directory;
    std::vector<WideString> profiles{L"Outlook"};
    DialogMode dialog = DialogMode::Show;
    bool hasProfileUser = true;
    std::string profileUser =
        "/o=Rostermint/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)/cn=Recipients/cn=simuser";
    HRESULT initializeResult = S_OK;
    HRESULT logonResult = S_OK;
    int galCount = 1;
    bool rejectNoCache = false;
    bool hasReportedRows = false;
    ULONG reportedRows = 0;
    unsigned long busyAt = 0; // 0: never busy
    int busyRepeat = 1;
    // Rows at which a QueryRows loses the connection, each with what it answers then:
    // MAPI_E_END_OF_SESSION, MAPI_E_RECONNECTED or MAPI_E_NETWORK_ERROR.
    std::vector<SessionBreak> sessionBreaks;
    // What the first GetRowCount of a logon on a contents table answers (S_OK: nothing odd).
    HRESULT rowCountBreak = S_OK;
    // Every text column of a contents table cut to this many characters (0: none); the
    // entries themselves keep their whole texts.
    ULONG truncateColumns = 0;
    // Contents tables end after this many rows, like an online list that Exchange caps.
    bool hasRowCap = false;
    ULONG rowCap = 0;
    std::map<std::string, HRESULT> failures;
    DWORD queryLatencyMs = 0;
    DWORD uninitializeLatencyMs = 0;
    // The simulated machine's ANSI code page: what 8-bit texts are converted to.
    UINT ansiCodePage = 1252;
    // False: a provider without UTF-16, which refuses PT_UNICODE columns.
    bool unicode = true;
    std::vector<Container> containers; // below the root, in hierarchy order

    // The result configured for the named call (S_OK when none): a failure replaces the
    // call, a success code replaces the call's own S_OK.
    HRESULT Configured(const char* call) const {
        const auto found = failures.find(call);
        return found == failures.end() ? S_OK : found->second;
    }
};

// Loads the scenario named by MAPISIM_SCENARIO, with its directory file. On a malformed
// file returns false and sets error to "FILE:LINE: reason"; scenario.ledgerPath is still
// set when the file names a ledger, so the error can be reported there.
bool LoadScenario(Scenario& scenario, std::string& error);

// The parts, for the loader and the tests of this library.
bool DecodeField(const std::string& raw, std::string& out, std::string& reason);
bool ParseDirectory(const std::string& text, std::vector<Entry>& entries, size_t& errorLine,
                    std::string& reason);
void BuildContainers(Scenario& scenario);

} // namespace mapisim
