#pragma once
#include "mapisim/MapiObject.h"

namespace mapisim {

// An entry of a container, opened by the entry identifier of its contents row: its GetProps
// gives the entry's properties with their whole texts, whatever the table cut. A
// distribution list is served the same way, through IMAPIProp.
class MailUser : public MapiProp<IMailUser> {
public:
    MailUser(std::shared_ptr<LogonState> logon, int container, size_t index);

    STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override;

private:
    bool Implements(const IID& iid) const override {
        return SameIid(iid, kIID_IMailUser) || SameIid(iid, kIID_IMAPIProp);
    }
    const int container;
    const size_t index;
};

} // namespace mapisim
