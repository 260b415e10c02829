#pragma once
#include "mapisim/Buffers.h"
#include "mapisim/Ledger.h"
#include "mapisim/Scenario.h"
#include <memory>

namespace mapisim {

// The state of the whole library, made when the DLL is loaded and dropped when it is
// unloaded. Every export and method takes its lock for its whole body (except while a
// dialog is up or a latency pause runs), so the calls are serialised.
class Simulator {
public:
    static void Create(HINSTANCE module);
    // At FreeLibrary: writes the ledger a last time.
    static void Destroy();
    static Simulator& Get() { return *instance; }

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    void Lock() { ::EnterCriticalSection(&lock); }
    void Unlock() { ::LeaveCriticalSection(&lock); }
    HINSTANCE Module() const { return module; }

    // MAPIInitialize while uninitialised: reads MAPISIM_SCENARIO afresh and starts a new
    // ledger period. False when the scenario could not be loaded (the ledger says why).
    bool StartPeriod();
    void WriteLedger() const;

    void Record(const char* iface, const char* name, ULONG flags) { ledger.Record(iface, name, flags); }
    // The result configured for an exported call in the current scenario (S_OK when none).
    HRESULT Configured(const char* call) const { return scenario ? scenario->Configured(call) : S_OK; }

    LONG initCount = 0;
    std::shared_ptr<const Scenario> scenario; // the current period's; null before the first
    Ledger ledger;
    BufferPool buffers;

private:
    explicit Simulator(HINSTANCE module);
    ~Simulator();

    static Simulator* instance;
    CRITICAL_SECTION lock;
    HINSTANCE module;
};

// Holds the simulator's lock for a scope; Release and Reacquire bracket a wait.
class SimLock {
public:
    SimLock() { Simulator::Get().Lock(); }
    ~SimLock() {
        if (held)
            Simulator::Get().Unlock();
    }
    SimLock(const SimLock&) = delete;
    SimLock& operator=(const SimLock&) = delete;
    void Release() {
        Simulator::Get().Unlock();
        held = false;
    }
    void Reacquire() {
        Simulator::Get().Lock();
        held = true;
    }

private:
    bool held = true;
};

} // namespace mapisim
