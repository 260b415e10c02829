#include "export/ExportFormat.h"
#include <string_view>

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

// The fields of a CSV or TSV line, in column order.
struct LineFields {
    explicit LineFields(const AddressEntry& entry)
        : all{entry.typeText, entry.userName, entry.email, entry.distinguishedName,
              EntryKindName(entry.kind)} {}
    std::wstring_view all[5];
};

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

ByteString ExportHeader(ExportFormat format) {
    switch (format) {
    case ExportFormat::Csv:
        return "\xEF\xBB\xBF"
               "Type,Username,Email Address,Distinguished Name,Kind\r\n";
    case ExportFormat::Tsv:
        return "\xEF\xBB\xBF"
               "Type\tUsername\tEmail Address\tDistinguished Name\tKind\r\n";
    case ExportFormat::Pipe:
        break;
    }
    return "\xEF\xBB\xBF"
           "TYPE|USERNAME|EMAIL|DN\r\n";
}

void BuildExportLine(ExportFormat format, const AddressEntry& entry, WideString& line) {
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
        line.resize(TsvLineLength(entry));
        WriteTsvLine(entry, line.data());
        return;
    }
    const LineFields fields(entry);
    for (size_t i = 0; i < std::size(fields.all); ++i) {
        if (i > 0)
            line.append(1, L',');
        AppendCsvField(fields.all[i], line);
    }
    line.append(L"\r\n");
}

size_t TsvLineLength(const AddressEntry& entry) {
    const LineFields fields(entry);
    // Four tabs between the fields, and CR LF.
    size_t length = std::size(fields.all) - 1 + 2;
    for (const std::wstring_view field : fields.all)
        length += TsvFieldLength(field);
    return length;
}

wchar_t* WriteTsvLine(const AddressEntry& entry, wchar_t* out) {
    const LineFields fields(entry);
    for (size_t i = 0; i < std::size(fields.all); ++i) {
        if (i > 0)
            *out++ = L'\t';
        out = WriteTsvField(fields.all[i], out);
    }
    *out++ = L'\r';
    *out++ = L'\n';
    return out;
}
