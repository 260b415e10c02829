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

// The TSV line of an entry without a string in between, for text measured first and then
// written in place (the clipboard's rows): its length in UTF-16 units, CR LF included, and
// the line written at out, which returns the end of what it wrote.
size_t TsvLineLength(const AddressEntry& entry);
wchar_t* WriteTsvLine(const AddressEntry& entry, wchar_t* out);
