#include "mapisim/MailUser.h"
#include "mapisim/Table.h"
#include "mapisim/Values.h"

namespace mapisim {

MailUser::MailUser(std::shared_ptr<LogonState> logon, int containerIndex, size_t entryIndex)
    : MapiProp("IMailUser", std::move(logon)), container(containerIndex), index(entryIndex) {}

STDMETHODIMP MailUser::GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) {
    SimLock lock;
    Record("GetProps", flags);
    if (!count || !values)
        return MAPI_E_INVALID_PARAMETER;
    *count = 0;
    *values = nullptr;
    if (logon->loggedOff)
        return MAPI_E_END_OF_SESSION;
    const HRESULT configured = Configured("GetProps");
    if (FAILED(configured))
        return configured;
    if (flags & ~MAPI_UNICODE)
        return MAPI_E_UNKNOWN_FLAGS;

    RowView properties;
    ContentsRows(Setup().containers[container].contents, container).Fill(index, properties);
    // No tag array asks for every property an entry has, texts as the flag says.
    const ULONG text = (flags & MAPI_UNICODE) ? PT_UNICODE : PT_STRING8;
    const ULONG everything[] = {PR_ENTRYID,
                                PR_DISPLAY_TYPE,
                                PR_DISPLAY_TYPE_EX,
                                PR_OBJECT_TYPE,
                                PROP_TAG(text, PROP_ID(PR_DISPLAY_NAME_A)),
                                PROP_TAG(text, PROP_ID(PR_SMTP_ADDRESS_A)),
                                PROP_TAG(text, PROP_ID(PR_EMS_AB_OBJ_DIST_NAME_A))};
    const ULONG* asked = tags ? tags->aulPropTag : everything;
    const ULONG askedCount =
        tags ? tags->cValues : static_cast<ULONG>(sizeof(everything) / sizeof(everything[0]));
    for (ULONG i = 0; i < askedCount; ++i) {
        if (PROP_TYPE(asked[i]) == PT_UNICODE && !Setup().unicode)
            return MAPI_E_BAD_CHARWIDTH;
    }
    ULONG missing = 0;
    const SCODE made = MakeValues(Simulator::Get().buffers, properties, asked, askedCount,
                                  Setup().ansiCodePage, values, &missing);
    if (FAILED(made))
        return made;
    *count = askedCount;
    // Like every provider: the values that are there, the others marked as errors.
    if (missing > 0)
        return MAPI_W_ERRORS_RETURNED;
    return configured;
}

} // namespace mapisim
