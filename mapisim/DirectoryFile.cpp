#include "mapisim/Scenario.h"
#include "mapisim/TextFile.h"
#include <algorithm>
#include <cstdlib>

namespace mapisim {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decimal (signed or unsigned), or hexadecimal after 0x, as display-type flags read best.
bool ParseDisplayType(const std::string& field, LONG& value) {
    if (field.size() > 2 && field.size() <= 10 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X')) {
        unsigned long bits = 0;
        for (size_t at = 2; at < field.size(); ++at) {
            const int digit = HexDigit(field[at]);
            if (digit < 0)
                return false;
            bits = bits * 16 + static_cast<unsigned long>(digit);
        }
        value = static_cast<LONG>(bits);
        return true;
    }
    size_t at = 0;
    const bool negative = !field.empty() && field[0] == '-';
    if (negative)
        at = 1;
    if (at >= field.size() || field.size() - at > 10)
        return false;
    unsigned long long magnitude = 0;
    for (; at < field.size(); ++at) {
        if (field[at] < '0' || field[at] > '9')
            return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(field[at] - '0');
    }
    if (negative ? magnitude > 0x80000000ull : magnitude > 0xFFFFFFFFull)
        return false;
    const unsigned long bits = static_cast<unsigned long>(negative ? 0x100000000ull - magnitude : magnitude);
    value = static_cast<LONG>(bits);
    return true;
}

// A text field: `!` alone means missing, anything else is decoded.
bool ParseText(const std::string& field, bool& present, std::string& value, std::string& reason) {
    present = field != "!";
    return !present || DecodeField(field, value, reason);
}

// Splits a detail's raw value at each `;` that is not written `\;` (with splitting off, only
// `\;` becomes `;`); the other escapes stay for DecodeField.
std::vector<std::string> SplitValues(const std::string& raw, bool split) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            if (raw[i + 1] == ';') {
                pieces.back() += ';';
            } else {
                pieces.back() += raw[i];
                pieces.back() += raw[i + 1];
            }
            ++i;
        } else if (raw[i] == ';' && split) {
            pieces.emplace_back();
        } else {
            pieces.back() += raw[i];
        }
    }
    return pieces;
}

// A `name=value` field after the fifth: one detail of the catalogue, at most once per entry.
bool ParseDetail(const std::string& field, Entry& entry, std::string& reason) {
    const size_t equals = field.find('=');
    const int index = equals == std::string::npos ? -1 : details::IndexOfName(field.data(), equals);
    if (index < 0) {
        reason = "'" + field + "' is not a detail of the catalogue written name=value";
        return false;
    }
    for (const DetailValue& known : entry.details) {
        if (known.index == index) {
            reason = "the detail " + field.substr(0, equals) + " is given twice";
            return false;
        }
    }
    const std::string raw = field.substr(equals + 1);
    if (raw == "!")
        return true; // missing, as if not listed
    const bool multi = details::kCatalogue[index].multiValued;
    DetailValue detail{static_cast<uint8_t>(index), multi ? 0u : 1u, std::string()};
    // An empty multi-valued detail has no values at all.
    const std::vector<std::string> pieces =
        multi && raw.empty() ? std::vector<std::string>() : SplitValues(raw, multi);
    for (const std::string& piece : pieces) {
        std::string value;
        if (!DecodeField(piece, value, reason))
            return false;
        if (multi && value.find('\0') != std::string::npos) {
            reason = "a value of " + field.substr(0, equals) + " holds a zero byte";
            return false;
        }
        detail.text += value;
        if (multi) {
            detail.text += '\0';
            ++detail.count;
        }
    }
    entry.details.push_back(std::move(detail));
    return true;
}

} // namespace

bool DecodeField(const std::string& raw, std::string& out, std::string& reason) {
    out.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            out += raw[i];
            continue;
        }
        if (++i >= raw.size()) {
            reason = "a backslash ends the field";
            return false;
        }
        switch (raw[i]) {
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        case '!':
            out += '!';
            break;
        case 'x': {
            const int high = i + 1 < raw.size() ? HexDigit(raw[i + 1]) : -1;
            const int low = i + 2 < raw.size() ? HexDigit(raw[i + 2]) : -1;
            if (high < 0 || low < 0) {
                reason = "\\x needs two hexadecimal digits";
                return false;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            reason = std::string("unknown escape \\") + raw[i];
            return false;
        }
    }
    return true;
}

bool ParseDirectory(const std::string& text, std::vector<Entry>& entries, size_t& errorLine,
                    std::string& reason) {
    LineReader lines(text);
    std::string line;
    while (lines.Next(line)) {
        if (line.empty() || line[0] == '#')
            continue;

        std::vector<std::string> fields;
        size_t from = 0;
        for (;;) {
            const size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
            if (tab == std::string::npos)
                break;
            from = tab + 1;
        }
        errorLine = lines.Number();
        if (fields.size() < 4) {
            reason =
                "expected 4 tab-separated fields (5 with the extended display type, then details), found " +
                std::to_string(fields.size());
            return false;
        }
        Entry entry;
        entry.hasType = fields[0] != "!";
        if (entry.hasType && !ParseDisplayType(fields[0], entry.displayType)) {
            reason = "the display type '" + fields[0] + "' is not a 32-bit number";
            return false;
        }
        // Without a fifth field, or with `!` there, the entry has no PR_DISPLAY_TYPE_EX.
        // Before details, an empty fifth field means none too.
        entry.hasTypeEx = fields.size() >= 5 && fields[4] != "!" && !(fields.size() > 5 && fields[4].empty());
        if (entry.hasTypeEx && !ParseDisplayType(fields[4], entry.displayTypeEx)) {
            reason = "the extended display type '" + fields[4] + "' is not a 32-bit number";
            return false;
        }
        if (!ParseText(fields[1], entry.hasName, entry.name, reason) ||
            !ParseText(fields[2], entry.hasSmtp, entry.smtp, reason) ||
            !ParseText(fields[3], entry.hasDn, entry.dn, reason))
            return false;
        for (size_t at = 5; at < fields.size(); ++at) {
            if (!ParseDetail(fields[at], entry, reason))
                return false;
        }
        std::sort(entry.details.begin(), entry.details.end(),
                  [](const DetailValue& a, const DetailValue& b) { return a.index < b.index; });
        entries.push_back(std::move(entry));
    }
    return true;
}

} // namespace mapisim
