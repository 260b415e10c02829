#pragma once
#include <string>
#include <vector>
#include "buildmatch/BuildBitness.h"
#include "directory/AddressStore.h"
#include "directory/DirectoryReader.h"
#include "tests/support/MapiScenario.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/OutlookRegistry.h"

// An Outlook of this flavour's bitness, registered for one test.
struct MatchingOutlook {
    MatchingOutlook() { registry.Report(BuildBitness); }
    OutlookRegistry registry;
};

// One Connect run as the main window drives it: a reader on its worker thread, bound to a
// store and to a recording window that frees every payload.
struct ReaderRun {
    AddressStore store;
    MessageRecorder window;
    DirectoryReader reader;

    // Starts the run and dispatches until STATUS_DONE, then waits for the thread to end
    // (it ends its session after STATUS_DONE) and takes what it posted after.
    bool Complete(DWORD timeoutMs = 120000);
    std::vector<WideString> Texts(WPARAM code) const { return window.Texts(code); }
    // The last STATUS_COUNTS.
    StatusTexts LastCounts() const;
};

// A directory row as the stand-in's directory file holds it; "!" marks a missing value.
struct DirectoryRow {
    std::string displayType;
    std::string name;
    std::string smtp;
    std::string dn;
};
std::string DirectoryText(const std::vector<DirectoryRow>& rows);
// n rows of mail users "user<i>", for tests about counts and positions.
std::vector<DirectoryRow> MailUsers(int n);

// Nothing outstanding, every successful initialisation balanced, every call from one thread.
void ExpectLedgerClean(const Ledger& ledger, long failedInitializations = 0);
// The stores hold the same entries in the same order.
void ExpectSameEntries(const AddressStore& actual, const AddressStore& expected);
