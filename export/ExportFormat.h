#pragma once
#include "directory/AddressStore.h"
#include "base/Strings.h"

// The line formats an address list is written in, one place for the window's export and
// the console. Pipe is the window's "Save to txt file" format; csv and tsv are for
// spreadsheets and scripts and add the detailed kind.
enum class ExportFormat { Pipe, Csv, Tsv };

// The file's first bytes: the UTF-8 byte order mark and the header line.
ByteString ExportHeader(ExportFormat format);

// One entry's line, CR LF included, as UTF-16; line is reused to spare allocations.
void BuildExportLine(ExportFormat format, const AddressEntry& entry, WideString& line);
