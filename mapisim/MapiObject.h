#pragma once
#include "mapisim/Simulator.h"
#include "mapisim/Values.h"
#include <memory>
#include <vector>

namespace mapisim {

// What the objects of one logon share.
struct LogonState {
    std::shared_ptr<const Scenario> scenario;
    std::string profile; // UTF-8
    bool loggedOff = false;
    unsigned long queryRowsCalls = 0; // over all tables, for busy_at
    std::vector<bool> breakFired;     // one per scenario->sessionBreaks
    bool rowCountBreakFired = false;
};

// IUnknown with real reference counting for every object the library hands out. Each
// object is listed in the ledger from construction until its count drops to 0, and every
// call to it is recorded as "Interface::Method".
template <class Iface> class MapiObject : public Iface {
public:
    MapiObject(const MapiObject&) = delete;
    MapiObject& operator=(const MapiObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, LPVOID* out) override {
        SimLock lock;
        Record("QueryInterface", 0);
        if (!out)
            return MAPI_E_INVALID_PARAMETER;
        if (!SameIid(iid, kIID_IUnknown) && !Implements(iid)) {
            *out = nullptr;
            return MAPI_E_INTERFACE_NOT_SUPPORTED;
        }
        ++references;
        *out = static_cast<Iface*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        SimLock lock;
        Record("AddRef", 0);
        return ++references;
    }
    STDMETHODIMP_(ULONG) Release() override {
        SimLock lock;
        Record("Release", 0);
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    MapiObject(const char* interfaceName, std::shared_ptr<LogonState> logonState)
        : iface(interfaceName), logon(std::move(logonState)) {
        Simulator::Get().ledger.AddObject(static_cast<Iface*>(this), iface);
    }
    virtual ~MapiObject() { Simulator::Get().ledger.RemoveObject(static_cast<Iface*>(this)); }

    virtual bool Implements(const IID& iid) const = 0;

    // Callers hold SimLock.
    void Record(const char* method, ULONG flags) { Simulator::Get().Record(iface, method, flags); }
    HRESULT NoSupport(const char* method) {
        SimLock lock;
        Record(method, 0);
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT Configured(const char* call) const { return logon->scenario->Configured(call); }
    const Scenario& Setup() const { return *logon->scenario; }

    const char* const iface;
    std::shared_ptr<LogonState> logon;

private:
    ULONG references = 1;
};

// A method the library does not offer: recorded, and answered MAPI_E_NO_SUPPORT.
#define MAPISIM_NO_SUPPORT(method, params)                                                                   \
    STDMETHODIMP method params override {                                                                    \
        return this->NoSupport(#method);                                                                     \
    }

// IMAPIProp's methods, none of which is offered unless a class overrides it.
template <class Iface> class MapiProp : public MapiObject<Iface> {
protected:
    using MapiObject<Iface>::MapiObject;

    // GetProps for an object whose properties fill(row, textType) puts into a row, returning
    // the tags that no tag array asks for (texts of textType, as the flag says). A property
    // the object lacks comes as PT_ERROR, and the answer is then MAPI_W_ERRORS_RETURNED.
    template <class Fill>
    HRESULT AnswerGetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values,
                           const Fill& fill) {
        SimLock lock;
        this->Record("GetProps", flags);
        if (!count || !values)
            return MAPI_E_INVALID_PARAMETER;
        *count = 0;
        *values = nullptr;
        if (this->logon->loggedOff)
            return MAPI_E_END_OF_SESSION;
        const HRESULT configured = this->Configured("GetProps");
        if (FAILED(configured))
            return configured;
        if (flags & ~MAPI_UNICODE)
            return MAPI_E_UNKNOWN_FLAGS;
        RowView properties;
        const std::vector<ULONG> all = fill(properties, (flags & MAPI_UNICODE) ? PT_UNICODE : PT_STRING8);
        const ULONG* asked = tags ? tags->aulPropTag : all.data();
        const ULONG askedCount = tags ? tags->cValues : static_cast<ULONG>(all.size());
        ULONG missing = 0;
        const SCODE made = MakeValues(Simulator::Get().buffers, properties, asked, askedCount,
                                      this->Setup().ansiCodePage, values, &missing);
        if (FAILED(made))
            return made;
        *count = askedCount;
        return missing > 0 ? MAPI_W_ERRORS_RETURNED : configured;
    }

public:
    MAPISIM_NO_SUPPORT(GetLastError, (HRESULT, ULONG, LPMAPIERROR*))
    MAPISIM_NO_SUPPORT(SaveChanges, (ULONG))
    MAPISIM_NO_SUPPORT(GetProps, (LPSPropTagArray, ULONG, ULONG*, LPSPropValue*))
    MAPISIM_NO_SUPPORT(GetPropList, (ULONG, LPSPropTagArray*))
    MAPISIM_NO_SUPPORT(OpenProperty, (ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*))
    MAPISIM_NO_SUPPORT(SetProps, (ULONG, LPSPropValue, LPSPropProblemArray*))
    MAPISIM_NO_SUPPORT(DeleteProps, (LPSPropTagArray, LPSPropProblemArray*))
    MAPISIM_NO_SUPPORT(CopyTo, (ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                                LPSPropProblemArray*))
    MAPISIM_NO_SUPPORT(CopyProps,
                       (LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG, LPSPropProblemArray*))
    MAPISIM_NO_SUPPORT(GetNamesFromIDs, (LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**))
    MAPISIM_NO_SUPPORT(GetIDsFromNames, (ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*))
};

} // namespace mapisim
