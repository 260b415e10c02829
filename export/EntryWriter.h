#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <vector>
#include "directory/AddressStore.h"
#include "export/ExportFormat.h"

// The one loop that writes a store's entries to a file, for the window's export and the
// console alike.

// Called after every kProgressEvery entries with the index of the entry just written
// (counted from 0); false stops the writing.
using WriteProgress = std::function<bool(uint64_t index)>;
constexpr uint64_t kProgressEvery = 100;
// What a file that is only kept whole (through a replacement file) gathers before each
// write: one write per line costs a system call each.
constexpr size_t kWholeFileBuffer = 256 * 1024;

struct EntryWriterOptions {
    ExportFormat format = ExportFormat::Pipe;
    // The entries' indices in the order to write them; null: store order.
    const std::vector<uint64_t>* order = nullptr;
    // Lines are gathered up to this many bytes before a write; 0 writes each line at once,
    // as the window's export does: its file grows line by line, and what was written before
    // a failure or a stop stays in it.
    size_t bufferBytes = 0;
};

enum class WriteOutcome { Written, WriteFailed, Stopped };

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Written;
    // GetLastError of a failed write.
    DWORD error = ERROR_SUCCESS;
    uint64_t entries = 0;
};

// Writes the header and then the entries, until the end, the first write that fails, or
// progress saying stop. The count is asked afresh for every entry: a running read may
// append meanwhile.
WriteResult WriteEntries(HANDLE file, const AddressStore& store, const EntryWriterOptions& options,
                         const WriteProgress& progress);
