#include "export/EntryWriter.h"
#include "text/TextConversion.h"

namespace {

// Bytes waiting for the file; a write counts only when it took every byte, since a full
// disk can fail it or cut it short.
class FileOutput {
public:
    FileOutput(HANDLE file, size_t bufferBytes) : file(file), bufferBytes(bufferBytes) {
        pending.reserve(bufferBytes + 4096);
    }
    ByteString& Pending() { return pending; }
    // Writes what is pending once it has reached the buffer's size (force: whatever it is).
    bool Flush(bool force) {
        if (pending.empty() || (!force && pending.size() < bufferBytes))
            return true;
        DWORD written = 0;
        bool whole = true;
        if (!::WriteFile(file, pending.data(), static_cast<DWORD>(pending.size()), &written, nullptr)) {
            whole = false;
            error = ::GetLastError();
        } else if (written != pending.size()) {
            whole = false;
            error = ERROR_DISK_FULL;
        }
        pending.clear();
        return whole;
    }
    DWORD Error() const { return error; }

private:
    HANDLE file;
    size_t bufferBytes;
    ByteString pending;
    DWORD error = ERROR_SUCCESS;
};

} // namespace

WriteResult WriteEntries(HANDLE file, const AddressStore& store, const EntryWriterOptions& options,
                         const WriteProgress& progress) {
    WriteResult result;
    FileOutput output(file, options.bufferBytes);
    const auto failed = [&] {
        result.outcome = WriteOutcome::WriteFailed;
        result.error = output.Error();
        return result;
    };
    // The byte order mark and the header line go out in one write.
    const ExportLines lines(options.format, store);
    output.Pending() = lines.Header();
    if (!output.Flush(options.bufferBytes == 0))
        return failed();
    WideString line;
    uint64_t batch = 0;
    for (uint64_t i = 0; i < (options.order ? options.order->size() : store.Count()); ++i) {
        const AddressEntry* entry = store.At(options.order ? (*options.order)[i] : i);
        if (!entry)
            break;
        lines.Build(*entry, line);
        AppendUtf8(output.Pending(), line);
        if (!output.Flush(false))
            return failed();
        ++result.entries;
        if (++batch == kProgressEvery) {
            batch = 0;
            if (progress && !progress(i)) {
                result.outcome = WriteOutcome::Stopped;
                break;
            }
        }
    }
    if (!output.Flush(true))
        return failed();
    return result;
}
