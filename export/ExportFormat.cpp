#include "export/ExportFormat.h"
#include <string_view>
#include "text/TextConversion.h"

namespace {

// A spreadsheet runs a cell that starts with one of these as a formula; a leading
// apostrophe makes it text (OWASP's advice on CSV injection).
bool StartsLikeFormula(std::wstring_view text) {
    return !text.empty() && std::wstring_view(L"=+-@\t\r").find(text[0]) != std::wstring_view::npos;
}

void AppendCsvField(std::wstring_view text, WideString& line) {
    const bool guard = StartsLikeFormula(text);
    if (text.find_first_of(L",\"\r\n") == std::wstring_view::npos) {
        if (guard)
            line.append(1, L'\'');
        line.append(text);
        return;
    }
    line.append(1, L'"');
    if (guard)
        line.append(1, L'\'');
    for (const wchar_t c : text) {
        if (c == L'"')
            line.append(1, L'"');
        line.append(1, c);
    }
    line.append(1, L'"');
}

// Tab-separated text has no quoting: a tab or line break inside a field becomes a space, so
// a field takes its own length and the formula guard's apostrophe.
size_t TsvFieldLength(std::wstring_view text) {
    return text.size() + (StartsLikeFormula(text) ? 1 : 0);
}

wchar_t* WriteTsvField(std::wstring_view text, wchar_t* out) {
    if (StartsLikeFormula(text))
        *out++ = L'\'';
    for (const wchar_t c : text)
        *out++ = c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c;
    return out;
}

} // namespace

ExportLines::ExportLines(ExportFormat format, const AddressStore& store)
    : format(format), store(store),
      fields(format == ExportFormat::Pipe ? columns::ListColumns(0)
                                          : columns::SheetColumns(store.Details())) {}

ByteString ExportLines::Header() const {
    // The pipe header is the one users' scripts know, not made of the headings.
    ByteString header = format == ExportFormat::Pipe ? "\xEF\xBB\xBFTYPE|USERNAME|EMAIL|DN" : "\xEF\xBB\xBF";
    for (size_t i = 0; format != ExportFormat::Pipe && i < fields.count; ++i) {
        if (i > 0)
            header += format == ExportFormat::Csv ? ',' : '\t';
        AppendUtf8(header, columns::kColumns[fields[i]].heading);
    }
    return header + "\r\n";
}

void ExportLines::Build(const AddressEntry& entry, WideString& line) const {
    line.clear();
    if (format == ExportFormat::Pipe) {
        // The format users' scripts already read: each text exactly as stored, with no
        // quoting or escaping, even where a name holds a "|".
        line.append(entry.typeText).append(1, L'|');
        line.append(entry.userName).append(1, L'|');
        line.append(entry.email).append(1, L'|');
        line.append(entry.distinguishedName).append(L"\r\n");
        return;
    }
    if (format == ExportFormat::Tsv) {
        line.resize(TsvLength(entry));
        WriteTsv(entry, line.data());
        return;
    }
    for (size_t i = 0; i < fields.count; ++i) {
        if (i > 0)
            line.append(1, L',');
        AppendCsvField(store.ColumnText(entry, fields[i]), line);
    }
    line.append(L"\r\n");
}

size_t ExportLines::TsvLength(const AddressEntry& entry) const {
    // A tab between the fields, and CR LF.
    size_t length = fields.count - 1 + 2;
    for (const int id : fields)
        length += TsvFieldLength(store.ColumnText(entry, id));
    return length;
}

wchar_t* ExportLines::WriteTsv(const AddressEntry& entry, wchar_t* out) const {
    for (size_t i = 0; i < fields.count; ++i) {
        if (i > 0)
            *out++ = L'\t';
        out = WriteTsvField(store.ColumnText(entry, fields[i]), out);
    }
    *out++ = L'\r';
    *out++ = L'\n';
    return out;
}
