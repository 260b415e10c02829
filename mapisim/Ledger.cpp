#include "mapisim/Ledger.h"
#include <algorithm>
#include <cstdio>

namespace mapisim {

void Ledger::StartPeriod() {
    initializeCalls = uninitializeCalls = logons = logoffs = queryRowsCalls = badFrees = 0;
    rowsServed = 0;
    profile.clear();
    error.clear();
    contentsColumns.clear();
    calls.clear();
    threads.clear();
}

void Ledger::Record(const char* iface, const char* name, ULONG flags) {
    calls.push_back(Call{iface, name, flags});
    const DWORD thread = ::GetCurrentThreadId();
    if (std::find(threads.begin(), threads.end(), thread) == threads.end())
        threads.push_back(thread);
}

uint64_t Ledger::AddObject(const void* object, const char* iface) {
    const uint64_t serial = nextSerial++;
    objects[object] = LiveObject{serial, iface};
    return serial;
}

void Ledger::RemoveObject(const void* object) {
    objects.erase(object);
}

bool Ledger::IsLive(const void* object, const char* iface) const {
    const auto found = objects.find(object);
    return found != objects.end() && std::string(found->second.iface) == iface;
}

std::string Ledger::Render(size_t buffersOutstanding) const {
    std::string text;
    auto line = [&text](const char* key, unsigned long long value) {
        text += key;
        text += '=';
        text += std::to_string(value);
        text += "\r\n";
    };
    line("initialize_calls", initializeCalls);
    line("uninitialize_calls", uninitializeCalls);
    line("logons", logons);
    line("logoffs", logoffs);

    std::vector<LiveObject> alive;
    for (const auto& entry : objects)
        alive.push_back(entry.second);
    std::sort(alive.begin(), alive.end(),
              [](const LiveObject& a, const LiveObject& b) { return a.serial < b.serial; });
    text += "objects_outstanding=";
    for (size_t i = 0; i < alive.size(); ++i) {
        if (i > 0)
            text += ',';
        text += alive[i].iface;
    }
    text += "\r\n";

    line("buffers_outstanding", buffersOutstanding);
    line("bad_frees", badFrees);
    line("threads", threads.size());
    line("query_rows_calls", queryRowsCalls);
    line("rows_served", rowsServed);
    if (!profile.empty())
        text += "profile=" + profile + "\r\n";
    if (!error.empty())
        text += "error=" + error + "\r\n";
    if (!contentsColumns.empty())
        text += "contents_columns=" + contentsColumns + "\r\n";

    char flags[16];
    for (const Call& call : calls) {
        text += "call=";
        if (call.iface) {
            text += call.iface;
            text += "::";
        }
        text += call.name;
        snprintf(flags, sizeof(flags), "0x%08lX", static_cast<unsigned long>(call.flags));
        text += " flags=";
        text += flags;
        text += "\r\n";
    }
    return text;
}

} // namespace mapisim
