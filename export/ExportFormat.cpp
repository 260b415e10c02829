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

// Tab-separated text has no quoting: a tab or line break inside a field becomes a space.
void AppendTsvField(std::wstring_view text, WideString& line) {
    if (StartsLikeFormula(text))
        line.append(1, L'\'');
    for (const wchar_t c : text)
        line.append(1, c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c);
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
    const std::wstring_view fields[] = {entry.typeText, entry.userName, entry.email, entry.distinguishedName,
                                        EntryKindName(entry.kind)};
    const wchar_t separator = format == ExportFormat::Csv ? L',' : L'\t';
    for (size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0)
            line.append(1, separator);
        if (format == ExportFormat::Csv)
            AppendCsvField(fields[i], line);
        else
            AppendTsvField(fields[i], line);
    }
    line.append(L"\r\n");
}
