#pragma once
#include <map>
#include <string>
#include <vector>
#include "tests/support/TempFolder.h"

// A scenario for the MAPI stand-in (mapisim/README.md) for the life of one test: writes
// the scenario file, and the directory file when one is given, into a fresh folder,
// adds the ledger= and directory= lines itself, and points MAPISIM_SCENARIO of this
// process at it. The scenario is read by the next MAPIInitialize that finds MAPI
// uninitialised. The destructor removes the variable and the files.
class MapiScenario {
public:
    // scenarioLines: key=value lines (UTF-8), without ledger= and directory=.
    // directoryFileText: the directory file's UTF-8 text; none when empty.
    explicit MapiScenario(const std::string& scenarioLines,
                          const std::string& directoryFileText = std::string());
    ~MapiScenario();
    MapiScenario(const MapiScenario&) = delete;
    MapiScenario& operator=(const MapiScenario&) = delete;

    WideString LedgerPath() const;
    // Empty when no directory text was given.
    WideString DirectoryPath() const;
    WideString ScenarioPath() const;

private:
    TempFolder folder;
    bool hasDirectory;
};

// A ledger as the stand-in writes it: key=value lines, and one call= line per call.
struct Ledger {
    std::map<std::string, std::string> values;
    // Each call's text after "call=", e.g. "IAddrBook::OpenEntry flags=0x00000218".
    std::vector<std::string> calls;

    // The value as a number; -1 when the key is absent or not a number.
    long Number(const std::string& key) const;
    // The value; empty when the key is absent.
    std::string Text(const std::string& key) const;
    // How many calls had this name (the text before " flags=").
    size_t CountCalls(const std::string& name) const;
};

// Empty when the file is missing.
Ledger ReadLedger(const WideString& path);
