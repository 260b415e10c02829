#include "mapisim/Simulator.h"
#include "mapisim/TextFile.h"

namespace mapisim {

Simulator* Simulator::instance = nullptr;

Simulator::Simulator(HINSTANCE moduleHandle) : module(moduleHandle) {
    ::InitializeCriticalSection(&lock);
}

Simulator::~Simulator() {
    ::DeleteCriticalSection(&lock);
}

void Simulator::Create(HINSTANCE module) {
    instance = new Simulator(module);
}

void Simulator::Destroy() {
    if (!instance)
        return;
    instance->Lock();
    instance->WriteLedger();
    instance->Unlock();
    delete instance;
    instance = nullptr;
}

bool Simulator::StartPeriod() {
    ledger.StartPeriod();
    auto loaded = std::make_shared<Scenario>();
    std::string error;
    const bool good = LoadScenario(*loaded, error);
    if (!good) {
        // Only the ledger's place survives a malformed scenario: nothing else of it is used.
        ledger.error = error;
        auto fallback = std::make_shared<Scenario>();
        fallback->ledgerPath = loaded->ledgerPath;
        loaded = fallback;
    }
    scenario = loaded;
    return good;
}

void Simulator::WriteLedger() const {
    if (scenario && !scenario->ledgerPath.empty())
        WriteWholeFile(scenario->ledgerPath, ledger.Render(buffers.Outstanding()));
}

} // namespace mapisim
