#include "tests/export/ExportTestSupport.h"
#include <string>
#include "export/AddressListExport.h"

const ByteString kExportHeader = "\xEF\xBB\xBFTYPE|USERNAME|EMAIL|DN\r\n";

NewEntry MakeEntry(const WideString& typeText, const WideString& userName, const WideString& email,
                   const WideString& distinguishedName) {
    return {EntryType::Forum, EntryKind::Forum, {}, typeText, userName, email, distinguishedName};
}

void AppendNumbered(AddressStore& store, int first, int count) {
    for (int k = first; k < first + count; ++k) {
        const WideString n = std::to_wstring(k);
        store.Append(
            MakeEntry(L"mailuser", L"user" + n, L"user" + n + L"@example.com", L"/o=Org/cn=user" + n));
    }
}

ByteString NumberedLine(int k) {
    const ByteString n = std::to_string(k);
    return "mailuser|user" + n + "|user" + n + "@example.com|/o=Org/cn=user" + n + "\r\n";
}

void RunExport(AddressStore& store, HWND window, const WideString& path) {
    ExportAddressListWith(store, window, [&](HWND, WideString& folder, const WideString&, const WideString&) {
        folder = path;
        return true;
    });
}

void ExportTo(AddressStore& store, MessageRecorder& recorder, const WideString& path) {
    RunExport(store, recorder.Window(), path);
    recorder.PumpPending();
}

std::vector<ByteString> EntryLines(const ByteString& file) {
    std::vector<ByteString> lines;
    if (file.compare(0, kExportHeader.size(), kExportHeader) != 0)
        return lines;
    size_t start = kExportHeader.size();
    while (start < file.size()) {
        size_t end = file.find("\r\n", start);
        end = end == ByteString::npos ? file.size() : end + 2;
        lines.push_back(file.substr(start, end - start));
        start = end;
    }
    return lines;
}
