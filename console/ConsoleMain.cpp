// RostermintC64.exe / RostermintC32.exe: the console companion for scheduled jobs. It reads
// the Global Address List with the window's reader, writes the file with the window's
// writer, and prints the counts.
#include <windows.h>
#include <array>
#include "buildmatch/BuildBitness.h"
#include "buildmatch/OutlookVersion.h"
#include "console/CommandLine.h"
#include "console/ConsoleInterrupt.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleReader.h"
#include "console/MatchingConsole.h"
#include "export/EntryWriter.h"
#include "export/ReplacementFile.h"
#include "text/TextConversion.h"

namespace {

enum ExitCode : int {
    kExitRead = 0,
    kExitUsage = 1,
    kExitFlavour = 2,
    kExitMapi = 3,
    kExitLogon = 4,
    kExitDirectory = 5,
    kExitFile = 6,
    kExitMissing = 7,
    kExitOnlineLimit = 8,
};

#ifdef _WIN64
constexpr wchar_t kProgramName[] = L"RostermintC64.exe";
constexpr wchar_t kFlavour[] = L"64-bit";
#else
constexpr wchar_t kProgramName[] = L"RostermintC32.exe";
constexpr wchar_t kFlavour[] = L"32-bit";
#endif

// One self-updating line on the standard error, only when that is a console.
class ProgressLine {
public:
    ProgressLine(const ConsoleStream& errors, bool quiet)
        : errors(errors), shown(!quiet && errors.IsConsole()) {}
    ~ProgressLine() { Clear(); }
    void Show(const WideString& text) {
        if (!shown)
            return;
        const ULONGLONG now = ::GetTickCount64();
        if (now - lastTick < 100 && lastTick != 0)
            return;
        lastTick = now;
        WideString line = L"\r" + text;
        if (text.size() < width)
            line.append(width - text.size(), L' ');
        width = text.size();
        Put(line);
    }
    void Clear() {
        if (shown && width > 0)
            Put(L"\r" + WideString(width, L' ') + L"\r");
        width = 0;
        lastTick = 0;
    }

private:
    // A console that takes no more text gets no more progress.
    void Put(const WideString& text) {
        if (!errors.Write(text))
            shown = false;
    }

    const ConsoleStream& errors;
    bool shown;
    size_t width = 0;
    ULONGLONG lastTick = 0;
};

struct Counts {
    std::array<uint64_t, 6> types = {};
    std::array<uint64_t, kEntryKindCount> kinds = {};
    uint64_t total = 0;
};

Counts CountEntries(const AddressStore& store) {
    Counts counts;
    for (uint64_t i = 0; i < store.Count(); ++i) {
        const AddressEntry* entry = store.At(i);
        if (!entry)
            break;
        if (entry->typeCode >= 0 && entry->typeCode < 6)
            ++counts.types[static_cast<size_t>(entry->typeCode)];
        ++counts.kinds[static_cast<size_t>(entry->kind)];
        ++counts.total;
    }
    return counts;
}

WideString CountRow(const WideString& name, uint64_t count) {
    const WideString number = FormatUnsigned(count);
    const size_t used = name.size() + number.size();
    return name + WideString(used < 34 ? 34 - used : 1, L' ') + number + L"\n";
}

// The window's six kinds, each mail-user and group kind followed by its detailed kinds.
WideString CountsTable(const Counts& counts) {
    auto kind = [&](EntryKind k) {
        return CountRow(L"  " + WideString(EntryKindName(k)), counts.kinds[static_cast<size_t>(k)]);
    };
    auto type = [&](const wchar_t* label, EntryType t) {
        return CountRow(label, counts.types[static_cast<size_t>(t)]);
    };
    return type(L"Mail Users", EntryType::MailUser) + kind(EntryKind::MailboxUser) + kind(EntryKind::Room) +
           kind(EntryKind::Equipment) + kind(EntryKind::OtherMailUser) +
           type(L"Distribution Lists", EntryType::DistList) + kind(EntryKind::DistributionGroup) +
           kind(EntryKind::SecurityGroup) + type(L"Forum", EntryType::Forum) +
           type(L"Agents", EntryType::Agent) + type(L"Remote Mail Users", EntryType::Remote) +
           type(L"Unknown", EntryType::Unknown) + CountRow(L"Total GAL Items", counts.total);
}

WideString CountsCsv(const Counts& counts) {
    WideString text = L"kind,count\n";
    for (int k = 0; k < kEntryKindCount; ++k)
        text += WideString(EntryKindName(static_cast<EntryKind>(k))) + L"," +
                FormatUnsigned(counts.kinds[static_cast<size_t>(k)]) + L"\n";
    return text + L"total," + FormatUnsigned(counts.total) + L"\n";
}

// The exit code and the one line that says why a read failed; entries: how many it kept.
int ReadFailure(const ConsoleReader& reading, const ConsoleOptions& options, uint64_t entries,
                WideString& error) {
    const DirectoryReader& reader = reading.Reader();
    const WideString result = L" (MAPI result " + Hex(static_cast<DWORD>(reader.OutcomeResult())) + L")";
    switch (reader.Outcome()) {
    case DirectoryReader::RunOutcome::WrongBitness: {
        const Bitness bitness = GetOutlookBitness();
        // No Outlook found at all: there is no MAPI to start.
        if (bitness == Bitness::Unknown) {
            error = L"MAPI could not be started: no installed Outlook was found";
            return kExitMapi;
        }
        error = L"Outlook's bitness is reported as \"" + WideString(BitnessText(bitness)) +
                L"\", and this console is " + kFlavour + L": start " + NeededConsole(bitness);
        return kExitFlavour;
    }
    case DirectoryReader::RunOutcome::InitializeFailed:
        error = L"MAPI could not be started: MAPIInitialize failed" + result;
        return kExitMapi;
    case DirectoryReader::RunOutcome::LogonFailed:
        error = L"the logon with " +
                (options.profile.empty() ? WideString(L"the default profile")
                                         : L"profile \"" + options.profile + L"\"") +
                L" failed: " + reading.FailureText() + result;
        return kExitLogon;
    case DirectoryReader::RunOutcome::ReadFailed:
        error = L"the Global Address List could not be found or read to its end" + result;
        return kExitDirectory;
    case DirectoryReader::RunOutcome::OutOfMemory:
        error = L"out of memory after " + FormatUnsigned(entries) + L" entries (" +
                Hex(static_cast<DWORD>(reader.OutcomeResult())) + L")";
        return kExitDirectory;
    case DirectoryReader::RunOutcome::Read:
    case DirectoryReader::RunOutcome::ReadShort:
    case DirectoryReader::RunOutcome::ReadAtOnlineLimit:
        break;
    }
    return kExitRead;
}

// The exit code and the one line for a read that reached the end of its table but may
// lack entries; kExitRead when it lacks none.
int ReadDoubt(const DirectoryReader& reader, uint64_t entries, WideString& error) {
    switch (reader.Outcome()) {
    case DirectoryReader::RunOutcome::ReadShort: {
        const uint64_t reported = reader.ReportedRows().value_or(0);
        error = L"the directory reported " + FormatUnsigned(reported) + L" entries, " +
                FormatUnsigned(entries) + L" were read: " + FormatUnsigned(reported - entries) + L" missing";
        return kExitMissing;
    }
    case DirectoryReader::RunOutcome::ReadAtOnlineLimit:
        error = L"read exactly " + FormatUnsigned(entries) +
                L" entries, the most that Exchange Online lists in online mode: the list may be cut short "
                L"(switch Outlook to Cached Exchange Mode and read again)";
        return kExitOnlineLimit;
    default:
        return kExitRead;
    }
}

WideString ProgressText(const DirectoryReader::Progress& progress) {
    const WideString entries = FormatUnsigned(progress.entries) + L" entries";
    return L"Reading: " + (progress.percent ? FormatUnsigned(*progress.percent) + L"%, " + entries : entries);
}

WideString FileError(const WideString& what, const WideString& path, DWORD code) {
    return what + L" " + path + L": " + SystemErrorText(code) + L" (" + Hex(code) + L")";
}

// The counts and the usage are what the run was for: when the standard output cannot take
// them (a full disk, a closed pipe), the run fails, and says why if the standard error can.
bool WriteToOutput(const ConsoleStream& output, const ConsoleStream& errors, const WideString& text) {
    if (output.Write(text))
        return true;
    const DWORD code = ::GetLastError();
    errors.Write(L"Error: the standard output could not be written: " + SystemErrorText(code) + L" (" +
                 Hex(code) + L")\n");
    return false;
}

// The end of a run stopped by Ctrl+C, Ctrl+Break or the console's closing: the read has
// ended its session, and the temporary file goes with the ReplacementFile.
int Interrupted(const ConsoleStream& errors, const ConsoleOptions& options) {
    errors.Write(L"Error: stopped by Ctrl+C, Ctrl+Break or the console's closing" +
                 (options.output.empty() ? WideString() : L"; " + options.output + L" is left as it was") +
                 L"\n");
    return static_cast<int>(ConsoleInterrupt::kExitCode);
}

int Run(int argc, wchar_t** argv) {
    const ConsoleStream output(STD_OUTPUT_HANDLE);
    const ConsoleStream errors(STD_ERROR_HANDLE);
    ConsoleOptions options;
    WideString error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        errors.Write(L"Error: " + error + L"\n\n" + UsageText(kProgramName));
        return kExitUsage;
    }
    if (options.help)
        return WriteToOutput(output, errors, UsageText(kProgramName)) ? kExitRead : kExitFile;
    // Taken over before the sibling runs, so that this process waits for it to clean up.
    // Destroyed last: a close event waits until the file below is gone.
    ConsoleInterrupt interrupt;
    DWORD siblingExit = 0;
    switch (RelaunchMatchingConsole(siblingExit, error)) {
    case RelaunchResult::Ran:
        return static_cast<int>(siblingExit);
    case RelaunchResult::Failed:
        errors.Write(L"Error: " + error + L"\n");
        return kExitFlavour;
    case RelaunchResult::NotNeeded:
        break;
    }
    if (!options.noBanner)
        errors.Write(WideString(L"Rostermint console ") + TEXT(ROSTERMINT_VERSION) L" (" + kFlavour +
                     L"): Global Address List counts and export\n");

    // The file is opened first, so that a bad path fails before a long read.
    ReplacementFile file;
    if (!options.output.empty() && !file.Open(options.output)) {
        errors.Write(L"Error: " + FileError(L"cannot create", options.output, ::GetLastError()) + L"\n");
        return kExitFile;
    }

    AddressStore store;
    // Details are read only for a file to hold them: they change no count.
    if (!options.output.empty())
        store.SetDetails(options.details);
    ConsoleReader reading;
    ProgressLine progress(errors, options.quiet);
    const bool started = reading.Read(
        options.profile, store, [&] { progress.Show(ProgressText(reading.Reader().LatestProgress())); },
        interrupt.Event());
    progress.Clear();
    if (!started) {
        errors.Write(L"Error: the read could not be started: " + SystemErrorText(::GetLastError()) + L"\n");
        return kExitMapi;
    }
    if (interrupt.Requested())
        return Interrupted(errors, options);
    const int readExit = ReadFailure(reading, options, store.Count(), error);
    if (readExit != kExitRead) {
        errors.Write(L"Error: " + error + L"\n");
        return readExit;
    }

    int exitCode = kExitRead;
    if (!options.output.empty()) {
        EntryWriterOptions writing;
        writing.format = options.format;
        writing.bufferBytes = kWholeFileBuffer;
        const WideString total = FormatUnsigned(store.Count());
        const WriteResult written = WriteEntries(file.Handle(), store, writing, [&](uint64_t index) {
            progress.Show(L"Writing: " + FormatUnsigned(index + 1) + L" of " + total + L" entries");
            return !interrupt.Requested();
        });
        progress.Clear();
        // The last moment a stop keeps the previous file.
        if (written.outcome == WriteOutcome::Stopped || interrupt.Requested())
            return Interrupted(errors, options);
        if (written.outcome != WriteOutcome::Written) {
            errors.Write(L"Error: " + FileError(L"cannot write", options.output, written.error) + L"\n");
            exitCode = kExitFile;
        } else if (!file.Commit()) {
            errors.Write(L"Error: " + FileError(L"cannot replace", options.output, ::GetLastError()) + L"\n");
            exitCode = kExitFile;
        }
    }

    const Counts counts = CountEntries(store);
    if (!WriteToOutput(output, errors, options.csvCounts ? CountsCsv(counts) : CountsTable(counts)))
        exitCode = kExitFile;
    if (exitCode == kExitRead) {
        exitCode = ReadDoubt(reading.Reader(), store.Count(), error);
        if (exitCode != kExitRead)
            errors.Write(L"Error: " + error + L"\n");
    }
    return exitCode;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    return Run(argc, argv);
}
