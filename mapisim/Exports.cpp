// The functions MAPI32.dll exports (by ordinal, see MAPI32.def) and the DLL's entry point.
#include "mapisim/MapiDefs.h"
#include "mapisim/ProfileDialog.h"
#include "mapisim/Session.h"
#include "mapisim/Table.h"
#include "mapisim/TextFile.h"
#include "mapisim/Values.h"

using namespace mapisim;

namespace {

constexpr ULONG kInitializeFlags = MAPI_MULTITHREAD_NOTIFICATIONS | MAPI_NO_COINIT | MAPI_NT_SERVICE;
constexpr ULONG kLogonFlags = MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_ALLOW_OTHERS | MAPI_EXPLICIT_PROFILE |
                              MAPI_EXTENDED | MAPI_USE_DEFAULT | MAPI_FORCE_DOWNLOAD |
                              MAPI_SERVICE_UI_ALWAYS | MAPI_NO_MAIL | MAPI_NT_SERVICE | MAPI_PASSWORD_UI |
                              MAPI_TIMEOUT_SHORT | MAPI_BG_SESSION | MAPI_UNICODE;

// The profile a logon without a dialog uses, or the one named by the caller.
int NamedProfile(const Scenario& scenario, LPCWSTR wideName, LPCSTR narrowName) {
    WideString name;
    if (wideName) {
        name = wideName;
    } else {
        const int size = ::MultiByteToWideChar(CP_ACP, 0, narrowName, -1, nullptr, 0);
        if (size > 1) {
            name.resize(size - 1);
            ::MultiByteToWideChar(CP_ACP, 0, narrowName, -1, &name[0], size);
        }
    }
    for (size_t i = 0; i < scenario.profiles.size(); ++i) {
        if (scenario.profiles[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(module);
        Simulator::Create(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // FreeLibrary: the last ledger. At process exit (reserved set) other threads are
        // gone mid-call, so nothing is touched then.
        Simulator::Destroy();
    }
    return TRUE;
}

HRESULT WINAPI MAPIInitialize(LPVOID init) {
    SimLock lock;
    Simulator& sim = Simulator::Get();
    const auto* options = static_cast<const MAPIINIT_0*>(init);
    const bool loaded = sim.initCount > 0 || sim.StartPeriod();
    sim.Record(nullptr, "MAPIInitialize", options ? options->ulFlags : 0);
    ++sim.ledger.initializeCalls;
    HRESULT result = sim.scenario->initializeResult;
    if (!loaded)
        result = MAPI_E_CALL_FAILED;
    else if (options && options->ulVersion != MAPI_INIT_VERSION)
        result = MAPI_E_VERSION;
    else if (options && (options->ulFlags & ~kInitializeFlags))
        result = MAPI_E_UNKNOWN_FLAGS;
    if (SUCCEEDED(result))
        ++sim.initCount;
    else
        sim.WriteLedger();
    return result;
}

void WINAPI MAPIUninitialize(void) {
    SimLock lock;
    Simulator& sim = Simulator::Get();
    sim.Record(nullptr, "MAPIUninitialize", 0);
    if (sim.scenario && sim.scenario->uninitializeLatencyMs > 0) {
        // A provider can take seconds to shut down; other threads may call in meanwhile.
        lock.Release();
        ::Sleep(sim.scenario->uninitializeLatencyMs);
        lock.Reacquire();
    }
    ++sim.ledger.uninitializeCalls;
    if (sim.initCount > 0)
        --sim.initCount;
    sim.WriteLedger();
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR uiParam, LPTSTR profileName, LPTSTR, ULONG flags,
                           LPMAPISESSION* session) {
    SimLock lock;
    Simulator& sim = Simulator::Get();
    sim.Record(nullptr, "MAPILogonEx", flags);
    if (!session)
        return MAPI_E_INVALID_PARAMETER;
    *session = nullptr;
    if (sim.initCount == 0)
        return MAPI_E_NOT_INITIALIZED;
    if (flags & ~kLogonFlags)
        return MAPI_E_UNKNOWN_FLAGS;
    const std::shared_ptr<const Scenario> scenario = sim.scenario;

    int profile = 0;
    if (profileName && profileName[0]) {
        // LPTSTR is wide in this build; MAPI_UNICODE says what the caller really passed.
        profile = (flags & MAPI_UNICODE)
                      ? NamedProfile(*scenario, reinterpret_cast<LPCWSTR>(profileName), nullptr)
                      : NamedProfile(*scenario, nullptr, reinterpret_cast<LPCSTR>(profileName));
        if (profile < 0)
            return MAPI_E_LOGON_FAILED;
    } else if ((flags & MAPI_LOGON_UI) && !(flags & MAPI_USE_DEFAULT)) {
        if (scenario->dialog == DialogMode::Cancel)
            return MAPI_E_USER_CANCEL;
        if (scenario->dialog == DialogMode::Show) {
            const HWND parent =
                ::IsWindow(reinterpret_cast<HWND>(uiParam)) ? reinterpret_cast<HWND>(uiParam) : nullptr;
            lock.Release(); // the dialog's own thread must not hold up other callers
            profile = ChooseProfile(sim.Module(), parent, scenario->profiles);
            lock.Reacquire();
            if (profile == kDialogCancelled)
                return MAPI_E_USER_CANCEL;
            if (profile == kDialogFailed)
                return MAPI_E_CALL_FAILED;
        }
    }

    if (FAILED(scenario->logonResult))
        return scenario->logonResult;
    auto logon = std::make_shared<LogonState>();
    logon->scenario = scenario;
    logon->profile = ToUtf8(scenario->profiles[profile]);
    logon->breakFired.assign(scenario->sessionBreaks.size(), false);
    *session = new Session(logon);
    ++sim.ledger.logons;
    sim.ledger.profile = logon->profile;
    return scenario->logonResult;
}

SCODE WINAPI MAPIAllocateBuffer(ULONG size, LPVOID* buffer) {
    SimLock lock;
    Simulator& sim = Simulator::Get();
    sim.Record(nullptr, "MAPIAllocateBuffer", 0);
    if (!buffer)
        return MAPI_E_INVALID_PARAMETER;
    *buffer = nullptr;
    const HRESULT configured = sim.Configured("MAPIAllocateBuffer");
    if (FAILED(configured))
        return configured;
    const SCODE result = sim.buffers.Allocate(size, buffer);
    return FAILED(result) ? result : configured;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
    SimLock lock;
    Simulator& sim = Simulator::Get();
    sim.Record(nullptr, "MAPIFreeBuffer", 0);
    if (!buffer)
        return S_OK;
    if (!sim.buffers.Free(buffer)) {
        ++sim.ledger.badFrees;
        return static_cast<ULONG>(MAPI_E_INVALID_PARAMETER);
    }
    return S_OK;
}

STDAPI_(void) FreeProws(LPSRowSet rows) {
    SimLock lock;
    Simulator& sim = Simulator::Get();
    sim.Record(nullptr, "FreeProws", 0);
    if (!rows)
        return;
    if (!sim.buffers.IsLive(rows)) {
        ++sim.ledger.badFrees; // not a row set from here, or freed already: not touched
        return;
    }
    for (ULONG i = 0; i < rows->cRows; ++i) {
        if (rows->aRow[i].lpProps && !sim.buffers.Free(rows->aRow[i].lpProps))
            ++sim.ledger.badFrees;
    }
    sim.buffers.Free(rows);
}

STDAPI_(ULONG) UlRelease(LPVOID object) {
    {
        SimLock lock;
        Simulator::Get().Record(nullptr, "UlRelease", 0);
    }
    return object ? static_cast<LPUNKNOWN>(object)->Release() : 0;
}

STDAPI HrQueryAllRows(LPMAPITABLE table, LPSPropTagArray tags, LPSRestriction restriction,
                      LPSSortOrderSet sortOrder, LONG maxRows, LPSRowSet* rows) {
    SimLock lock;
    Simulator& sim = Simulator::Get();
    sim.Record(nullptr, "HrQueryAllRows", 0);
    if (!rows)
        return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    if (!table || !sim.ledger.IsLive(table, "IMAPITable"))
        return MAPI_E_INVALID_PARAMETER; // only this library's own tables are served
    const HRESULT configured = sim.Configured("HrQueryAllRows");
    if (FAILED(configured))
        return configured;
    const HRESULT result =
        static_cast<Table*>(table)->QueryAllRows(tags, restriction, sortOrder, maxRows, rows);
    return FAILED(result) ? result : configured;
}

} // extern "C"
