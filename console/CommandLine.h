#pragma once
#include "directory/ColumnCatalogue.h"
#include "export/ExportFormat.h"
#include "base/Strings.h"

// The console's switches, written -x or /x, case-insensitive.
struct ConsoleOptions {
    WideString profile; // empty: the default profile
    WideString output;  // empty: no file
    ExportFormat format = ExportFormat::Pipe;
    // The directory details to read (-d), written after Kind in csv and tsv.
    details::DetailSet details = 0;
    bool csvCounts = false;
    bool quiet = false;
    bool noBanner = false;
    bool help = false;
};

// False on bad usage, with error naming what was wrong.
bool ParseCommandLine(int argc, wchar_t** argv, ConsoleOptions& options, WideString& error);

// The usage text, with the exit codes, for the executable's own name.
WideString UsageText(const WideString& programName);
