#include "mapisim/Scenario.h"
#include "mapisim/TextFile.h"
#include <windows.h>
#include <mapicode.h>
#include <algorithm>

namespace mapisim {
namespace {

// Calls that `fail=` may name.
const char* const kFailableCalls[] = {
    "OpenAddressBook", "AdminServices",     "OpenProfileSection", "GetProps",
    "OpenEntry",       "GetHierarchyTable", "HrQueryAllRows",     "GetContentsTable",
    "SetColumns",      "GetRowCount",       "QueryRows",          "MAPIAllocateBuffer",
    "SeekRow",
};

constexpr size_t kDefaultGenerated = 1000;
// Far more than any test or demo needs, and small enough that row numbers fit a ULONG.
constexpr unsigned long long kMaxGenerated = 100000000ull;

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    size_t from = 0;
    for (;;) {
        const size_t comma = text.find(',', from);
        items.push_back(
            Trim(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from)));
        if (comma == std::string::npos)
            return items;
        from = comma + 1;
    }
}

bool ParseUnsigned(const std::string& text, unsigned long long max, unsigned long long& value) {
    const std::string digits = Trim(text);
    if (digits.empty() || digits.size() > 19)
        return false;
    value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= max;
}

bool ParseHresult(const std::string& text, HRESULT& value) {
    std::string digits = Trim(text);
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 8)
        return false;
    unsigned long bits = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        bits = bits * 16 + static_cast<unsigned long>(digit);
    }
    value = static_cast<HRESULT>(bits);
    return true;
}

bool IsFailableCall(const std::string& name) {
    for (const char* call : kFailableCalls) {
        if (name == call)
            return true;
    }
    return false;
}

// A path from the file: relative ones are taken from the scenario file's folder.
WideString ResolvePath(const WideString& folder, const std::string& value) {
    const WideString path = FromUtf8(value);
    const bool absolute =
        (!path.empty() && (path[0] == L'\\' || path[0] == L'/')) || (path.size() > 1 && path[1] == L':');
    return absolute || folder.empty() ? path : folder + L"\\" + path;
}

// What the lines ask for beyond the Scenario fields themselves.
struct Wanted {
    WideString directoryPath;
    bool hasGenerate = false;
    unsigned long long generate = 0;
};

// One key=value line; false with reason when it is malformed.
bool ApplyLine(const std::string& key, const std::string& value, const WideString& folder, Scenario& scenario,
               Wanted& wanted, std::string& reason) {
    unsigned long long number = 0;
    auto choice = [&](std::initializer_list<const char*> allowed) {
        for (const char* option : allowed) {
            if (Trim(value) == option)
                return true;
        }
        reason = "'" + value + "' is not a value " + key + " accepts";
        return false;
    };
    auto numeric = [&](unsigned long long max) {
        if (ParseUnsigned(value, max, number))
            return true;
        reason = key + " needs a decimal number up to " + std::to_string(max) + ", not '" + value + "'";
        return false;
    };
    auto hresult = [&](HRESULT& out) {
        if (ParseHresult(value, out))
            return true;
        reason = key + " needs a hexadecimal result, not '" + value + "'";
        return false;
    };

    if (key == "ledger") {
        scenario.ledgerPath = ResolvePath(folder, Trim(value));
    } else if (key == "directory") {
        wanted.directoryPath = ResolvePath(folder, Trim(value));
    } else if (key == "generate") {
        if (!numeric(kMaxGenerated))
            return false;
        wanted.hasGenerate = true;
        wanted.generate = number;
    } else if (key == "profiles") {
        scenario.profiles.clear();
        for (const std::string& name : SplitList(value)) {
            if (name.empty()) {
                reason = "profiles has an empty name";
                return false;
            }
            scenario.profiles.push_back(FromUtf8(name));
        }
    } else if (key == "profile_dialog") {
        if (!choice({"show", "auto", "cancel"}))
            return false;
        const std::string mode = Trim(value);
        scenario.dialog = mode == "show"   ? DialogMode::Show
                          : mode == "auto" ? DialogMode::Auto
                                           : DialogMode::Cancel;
    } else if (key == "profile_user") {
        scenario.hasProfileUser = value != "!";
        if (scenario.hasProfileUser && !DecodeField(value, scenario.profileUser, reason))
            return false;
    } else if (key == "initialize") {
        return hresult(scenario.initializeResult);
    } else if (key == "logon") {
        return hresult(scenario.logonResult);
    } else if (key == "gal_count") {
        if (!choice({"0", "1", "2"}))
            return false;
        scenario.galCount = Trim(value)[0] - '0';
    } else if (key == "reject_no_cache") {
        if (!choice({"0", "1"}))
            return false;
        scenario.rejectNoCache = Trim(value) == "1";
    } else if (key == "reported_rows") {
        if (!numeric(0xFFFFFFFFull))
            return false;
        scenario.hasReportedRows = true;
        scenario.reportedRows = static_cast<ULONG>(number);
    } else if (key == "busy_at") {
        if (!numeric(0xFFFFFFFFull))
            return false;
        if (number == 0) {
            reason = "busy_at counts from 1";
            return false;
        }
        scenario.busyAt = static_cast<unsigned long>(number);
    } else if (key == "busy_repeat") {
        if (!ParseUnsigned(value, 20, number) || number == 0) {
            reason = "busy_repeat needs a number from 1 to 20, not '" + value + "'";
            return false;
        }
        scenario.busyRepeat = static_cast<int>(number);
    } else if (key == "end_session_at" || key == "reconnect_at" || key == "network_error_at") {
        // Each key replaces only its own rows.
        const HRESULT result = key == "end_session_at" ? MAPI_E_END_OF_SESSION
                               : key == "reconnect_at" ? MAPI_E_RECONNECTED
                                                       : MAPI_E_NETWORK_ERROR;
        auto& breaks = scenario.sessionBreaks;
        breaks.erase(std::remove_if(breaks.begin(), breaks.end(),
                                    [&](const SessionBreak& b) { return b.result == result; }),
                     breaks.end());
        for (const std::string& row : SplitList(value)) {
            if (!ParseUnsigned(row, 0xFFFFFFFFull, number)) {
                reason = key + " needs row numbers, not '" + row + "'";
                return false;
            }
            breaks.push_back(SessionBreak{static_cast<unsigned long>(number), result});
        }
    } else if (key == "rowcount_end_session") {
        // 1 for an ended session, or the result itself (a reconnect, a network error).
        const std::string trimmed = Trim(value);
        if (trimmed == "0" || trimmed == "1") {
            scenario.rowCountBreak = trimmed == "1" ? MAPI_E_END_OF_SESSION : S_OK;
        } else if (!ParseHresult(value, scenario.rowCountBreak) || SUCCEEDED(scenario.rowCountBreak)) {
            reason = "rowcount_end_session needs 0, 1 or a failure result, not '" + value + "'";
            return false;
        }
    } else if (key == "truncate_columns") {
        if (!numeric(100000))
            return false;
        scenario.truncateColumns = static_cast<ULONG>(number);
    } else if (key == "row_cap") {
        if (!numeric(0xFFFFFFFFull))
            return false;
        scenario.hasRowCap = true;
        scenario.rowCap = static_cast<ULONG>(number);
    } else if (key == "fail") {
        for (const std::string& item : SplitList(value)) {
            const size_t colon = item.find(':');
            const std::string call = Trim(item.substr(0, colon));
            HRESULT result = S_OK;
            if (colon == std::string::npos || !ParseHresult(item.substr(colon + 1), result)) {
                reason = "fail needs METHOD:HRESULT, not '" + item + "'";
                return false;
            }
            if (!IsFailableCall(call)) {
                reason = "fail names an unknown call '" + call + "'";
                return false;
            }
            scenario.failures[call] = result;
        }
    } else if (key == "query_latency_ms") {
        if (!numeric(60000))
            return false;
        scenario.queryLatencyMs = static_cast<DWORD>(number);
    } else if (key == "ansi_codepage") {
        // Code pages a Windows machine can have as its ANSI code page: single- and double-byte
        // ones, and UTF-8; not the UTF-16, UTF-32 and UTF-7 ones.
        if (!numeric(65535))
            return false;
        const UINT codePage = static_cast<UINT>(number);
        if (!::IsValidCodePage(codePage) || codePage == 1200 || codePage == 1201 || codePage == 12000 ||
            codePage == 12001 || codePage == 65000) {
            reason =
                "ansi_codepage " + Trim(value) + " is not a code page Windows can use as its ANSI code page";
            return false;
        }
        scenario.ansiCodePage = codePage;
    } else if (key == "unicode") {
        if (!choice({"0", "1"}))
            return false;
        scenario.unicode = Trim(value) == "1";
    } else if (key == "uninitialize_latency_ms") {
        if (!numeric(60000))
            return false;
        scenario.uninitializeLatencyMs = static_cast<DWORD>(number);
    } else {
        reason = "unknown key '" + key + "'";
        return false;
    }
    return true;
}

// Reads every line; the first malformed one is reported, but a ledger= line is honoured
// wherever it stands, so the report has somewhere to go.
bool ParseScenario(const std::string& text, const WideString& folder, Scenario& scenario, Wanted& wanted,
                   size_t& errorLine, std::string& reason) {
    bool good = true;
    LineReader lines(text);
    std::string line;
    while (lines.Next(line)) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const size_t equals = line.find('=');
        std::string lineReason;
        const std::string key = Trim(line.substr(0, equals));
        if (equals == std::string::npos)
            lineReason = "expected key=value";
        else if (!ApplyLine(key, line.substr(equals + 1), folder, scenario, wanted, lineReason) &&
                 lineReason.empty())
            lineReason = "malformed line";
        if (!lineReason.empty() && good) {
            good = false;
            errorLine = lines.Number();
            reason = lineReason;
        }
    }
    return good;
}

WideString ScenarioVariable(bool& present) {
    wchar_t small[MAX_PATH];
    DWORD size = ::GetEnvironmentVariableW(L"MAPISIM_SCENARIO", small, MAX_PATH);
    present = size != 0;
    if (size < MAX_PATH)
        return WideString(small, size);
    WideString value(size, L'\0');
    size = ::GetEnvironmentVariableW(L"MAPISIM_SCENARIO", &value[0], size);
    value.resize(size);
    return value;
}

} // namespace

bool LoadScenario(Scenario& scenario, std::string& error) {
    bool present = false;
    const WideString path = ScenarioVariable(present);
    if (!present || path.empty()) {
        auto directory = std::make_shared<Directory>();
        directory->generated = kDefaultGenerated;
        scenario.directory = directory;
        BuildContainers(scenario);
        return true;
    }

    const size_t slash = path.find_last_of(L"\\/");
    const WideString folder = slash == WideString::npos ? WideString() : path.substr(0, slash);
    std::string text;
    if (!ReadWholeFile(path, text)) {
        error = ToUtf8(path) + ":0: cannot read the scenario file";
        return false;
    }
    Wanted wanted;
    size_t line = 0;
    std::string reason;
    if (!ParseScenario(text, folder, scenario, wanted, line, reason)) {
        error = ToUtf8(path) + ":" + std::to_string(line) + ": " + reason;
        return false;
    }

    auto directory = std::make_shared<Directory>();
    if (!wanted.directoryPath.empty()) {
        if (!ReadWholeFile(wanted.directoryPath, text)) {
            error = ToUtf8(wanted.directoryPath) + ":0: cannot read the directory file";
            return false;
        }
        if (!ParseDirectory(text, directory->entries, line, reason)) {
            error = ToUtf8(wanted.directoryPath) + ":" + std::to_string(line) + ": " + reason;
            return false;
        }
    }
    directory->generated = static_cast<size_t>(wanted.hasGenerate             ? wanted.generate
                                               : wanted.directoryPath.empty() ? kDefaultGenerated
                                                                              : 0);
    scenario.directory = directory;
    BuildContainers(scenario);
    return true;
}

} // namespace mapisim
