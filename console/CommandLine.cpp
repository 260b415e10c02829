#include "console/CommandLine.h"
#include <cstring>
#include <cwctype>

namespace {

WideString Lower(WideString text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The details a -d value names: "all", or catalogue names separated by commas.
bool ParseDetails(const WideString& value, details::DetailSet& chosen, WideString& error) {
    if (Lower(value) == L"all") {
        chosen = details::kAll;
        return true;
    }
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(L',', start);
        const WideString name =
            Lower(value.substr(start, comma == WideString::npos ? WideString::npos : comma - start));
        // The catalogue's names are ASCII: any other character matches none.
        std::string narrow;
        for (const wchar_t c : name)
            narrow += c < 0x80 ? static_cast<char>(c) : '\x7F';
        const int index = details::IndexOfName(narrow.data(), narrow.size());
        if (index < 0) {
            error = L"unknown detail \"" + name + L"\" (see -? for the names)";
            return false;
        }
        chosen |= details::DetailSet(1) << index;
        if (comma == WideString::npos)
            return true;
        start = comma + 1;
    }
}

// The details' names, as lines under the -d switch.
WideString DetailNames() {
    const WideString indent(14, L' ');
    WideString text, line = indent;
    for (size_t i = 0; i < details::kCount; ++i) {
        const char* name = details::kCatalogue[i].name;
        const WideString item =
            WideString(name, name + std::strlen(name)) + (i + 1 < details::kCount ? L"," : L"");
        if (line.size() + 1 + item.size() > 79) {
            text += line + L"\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? L" " : L"") + item;
    }
    return text + line + L"\n";
}

} // namespace

bool ParseCommandLine(int argc, wchar_t** argv, ConsoleOptions& options, WideString& error) {
    bool pipeNamed = false;
    for (int i = 1; i < argc; ++i) {
        const WideString argument = argv[i];
        if (argument.size() < 2 || (argument[0] != L'-' && argument[0] != L'/')) {
            error = L"unexpected argument \"" + argument + L"\"";
            return false;
        }
        const WideString name = Lower(argument.substr(1));
        if (name == L"p" || name == L"o" || name == L"f" || name == L"d") {
            if (i + 1 >= argc || argv[i + 1][0] == L'\0') {
                error = L"the switch " + argument + L" needs a value";
                return false;
            }
            const WideString value = argv[++i];
            if (name == L"p") {
                options.profile = value;
            } else if (name == L"o") {
                options.output = value;
            } else if (name == L"d") {
                if (!ParseDetails(value, options.details, error))
                    return false;
            } else if (Lower(value) == L"pipe") {
                options.format = ExportFormat::Pipe;
                pipeNamed = true;
            } else if (Lower(value) == L"csv") {
                options.format = ExportFormat::Csv;
            } else if (Lower(value) == L"tsv") {
                options.format = ExportFormat::Tsv;
            } else {
                error = L"unknown format \"" + value + L"\" (pipe, csv or tsv)";
                return false;
            }
        } else if (name == L"c") {
            options.csvCounts = true;
        } else if (name == L"q") {
            options.quiet = true;
        } else if (name == L"nobanner") {
            options.noBanner = true;
        } else if (name == L"?" || name == L"h") {
            options.help = true;
        } else {
            error = L"unknown switch " + argument;
            return false;
        }
    }
    // The pipe format is the window's "Save to txt file", which has no room for details.
    if (options.details != 0 && options.format == ExportFormat::Pipe &&
        (pipeNamed || !options.output.empty())) {
        error = L"-d needs -f csv or -f tsv: the pipe format has no detail columns";
        return false;
    }
    return true;
}

WideString UsageText(const WideString& programName) {
    return L"usage: " + programName +
           L" [-p PROFILE] [-o FILE] [-f pipe|csv|tsv] [-d DETAILS] [-c] [-q] [-nobanner] [-?]\n"
           L"\n"
           L"Reads the Global Address List through Outlook's MAPI and prints the counts of its entries.\n"
           L"\n"
           L"  -p PROFILE  log on with this Outlook profile (default: the default profile); never a dialog\n"
           L"  -o FILE     write every entry to FILE; a failed run leaves the previous FILE as it was\n"
           L"  -f FORMAT   pipe (the default: as the window's \"Save to txt file\"), csv or tsv;\n"
           L"              csv and tsv put a ' before a text that starts with = + - @ tab or CR\n"
           L"  -d DETAILS  also read these directory details, written after Kind in csv and tsv:\n"
           L"              all, or names separated by commas (-d title,department,phone):\n" +
           DetailNames() +
           L"  -c          the counts as CSV (kind,count) instead of a table\n"
           L"  -q          no progress line\n"
           L"  -nobanner   no banner line\n"
           L"  -?          this text\n"
           L"Switches start with - or /, in any case.\n"
           L"\n"
           L"Exit codes:\n"
           L"  0  the whole directory read, and the file (if any) written\n"
           L"  1  bad usage\n"
           L"  2  the matching flavour was needed but could not be started\n"
           L"  3  MAPI could not be started (MAPIInitialize failed)\n"
           L"  4  the logon failed: no such profile, no default profile, logon refused\n"
           L"  5  the Global Address List could not be found or read to its end\n"
           L"  6  the file or the standard output could not be written\n"
           L"     (a file not written whole leaves the previous file as it was)\n"
           L"  7  read, but fewer entries than the directory reported (the file is written)\n"
           L"  8  read exactly 500 entries, the most that Exchange Online lists in online mode:\n"
           L"     the list may be cut short (the file is written); switch Outlook to Cached\n"
           L"     Exchange Mode and read again\n"
           L"  0xC000013A  stopped by Ctrl+C, Ctrl+Break or the console's closing\n"
           L"     (the previous file is left as it was)\n";
}
