#pragma once
#include <windows.h>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mapisim {

// What one period (MAPIInitialize from an uninitialised state up to the next such call)
// did: counters, the threads that called in, every call in order, and the objects alive.
// Tests read it back from the file it is written to. Not thread-safe: the caller holds the
// simulator's lock.
class Ledger {
public:
    // Counters and calls start again from zero; live objects stay listed, so a leak from
    // an earlier period stays visible.
    void StartPeriod();

    // iface is null for an exported function; both strings are literals.
    void Record(const char* iface, const char* name, ULONG flags);

    // Objects are listed by interface name, in the order they were made.
    uint64_t AddObject(const void* object, const char* iface);
    void RemoveObject(const void* object);
    // Whether object is a live one of this interface (for calls that take an interface
    // pointer from the caller).
    bool IsLive(const void* object, const char* iface) const;

    std::string Render(size_t buffersOutstanding) const;

    unsigned long initializeCalls = 0;
    unsigned long uninitializeCalls = 0;
    unsigned long logons = 0;
    unsigned long logoffs = 0;
    unsigned long queryRowsCalls = 0;
    unsigned long long rowsServed = 0;
    unsigned long badFrees = 0;
    std::string profile; // the profile of the latest logon, UTF-8
    // The tags of the latest successful SetColumns on a contents table, "0x%08X" each,
    // comma-separated.
    std::string contentsColumns;
    std::string error; // FILE:LINE: reason, for a scenario that could not be loaded

private:
    struct Call {
        const char* iface;
        const char* name;
        ULONG flags;
    };
    struct LiveObject {
        uint64_t serial;
        const char* iface;
    };
    std::vector<Call> calls;
    std::vector<DWORD> threads;
    std::map<const void*, LiveObject> objects;
    uint64_t nextSerial = 1;
};

} // namespace mapisim
