#include "tests/support/MapiScenario.h"
#include <windows.h>
#include <cstdlib>

namespace {

const wchar_t kVariable[] = L"MAPISIM_SCENARIO";

std::string Utf8(const WideString& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                              nullptr, nullptr);
    return bytes;
}

} // namespace

MapiScenario::MapiScenario(const std::string& scenarioLines, const std::string& directoryFileText)
    : hasDirectory(!directoryFileText.empty()) {
    std::string text = scenarioLines;
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    text += "ledger=" + Utf8(LedgerPath()) + "\n";
    if (hasDirectory) {
        WriteFileBytes(DirectoryPath(), directoryFileText);
        text += "directory=" + Utf8(DirectoryPath()) + "\n";
    }
    WriteFileBytes(ScenarioPath(), text);
    ::SetEnvironmentVariableW(kVariable, ScenarioPath().c_str());
}

MapiScenario::~MapiScenario() {
    ::SetEnvironmentVariableW(kVariable, nullptr);
}

WideString MapiScenario::LedgerPath() const {
    return folder.File(L"ledger.txt");
}

WideString MapiScenario::DirectoryPath() const {
    return hasDirectory ? folder.File(L"directory.txt") : WideString();
}

WideString MapiScenario::ScenarioPath() const {
    return folder.File(L"scenario.txt");
}

long Ledger::Number(const std::string& key) const {
    const auto found = values.find(key);
    if (found == values.end() || found->second.empty())
        return -1;
    char* end = nullptr;
    const long value = std::strtol(found->second.c_str(), &end, 10);
    return *end == '\0' ? value : -1;
}

std::string Ledger::Text(const std::string& key) const {
    const auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
}

size_t Ledger::CountCalls(const std::string& name) const {
    size_t count = 0;
    for (const std::string& call : calls) {
        if (call.compare(0, call.find(" flags="), name) == 0)
            ++count;
    }
    return count;
}

Ledger ReadLedger(const WideString& path) {
    Ledger ledger;
    const std::string text = ReadFileBytes(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        if (key == "call")
            ledger.calls.push_back(line.substr(equals + 1));
        else
            ledger.values[key] = line.substr(equals + 1);
    }
    return ledger;
}
