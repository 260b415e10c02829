#pragma once
#include "directory/AddressStore.h"
#include "base/Strings.h"

// The line formats an address list is written in, one place for the window's export and
// the console. Pipe is the window's "Save to txt file" format; csv and tsv are for
// spreadsheets and scripts and add the detailed kind.
enum class ExportFormat { Pipe, Csv, Tsv };

// How a store's entries are written in a format: pipe the list's four columns, csv and tsv
// the list's four, the kind and the details the store keeps, in catalogue order.
class ExportLines {
public:
    ExportLines(ExportFormat format, const AddressStore& store);

    // The file's first bytes: the UTF-8 byte order mark and the header line.
    ByteString Header() const;
    // One entry's line, CR LF included, as UTF-16; line is reused to spare allocations.
    void Build(const AddressEntry& entry, WideString& line) const;
    // The TSV line of an entry without a string in between, for text measured first and then
    // written in place (the clipboard's rows): its length in UTF-16 units, CR LF included,
    // and the line written at out, which returns the end of what it wrote.
    size_t TsvLength(const AddressEntry& entry) const;
    wchar_t* WriteTsv(const AddressEntry& entry, wchar_t* out) const;

private:
    ExportFormat format;
    const AddressStore& store;
    columns::ColumnList fields;
};
