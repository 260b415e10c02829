#include "mapisim/MailUser.h"
#include "mapisim/Table.h"

namespace mapisim {

MailUser::MailUser(std::shared_ptr<LogonState> logon, int containerIndex, size_t entryIndex)
    : MapiProp("IMailUser", std::move(logon)), container(containerIndex), index(entryIndex) {}

STDMETHODIMP MailUser::GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) {
    return AnswerGetProps(tags, flags, count, values, [this](RowView& properties, ULONG textType) {
        // The entry has every detail the directory gives it, whatever a table asked for.
        properties.wantedDetails = details::kAll;
        ContentsRows(Setup().containers[container].contents, container).Fill(index, properties);
        return std::vector<ULONG>{PR_ENTRYID,
                                  PR_DISPLAY_TYPE,
                                  PR_DISPLAY_TYPE_EX,
                                  PR_OBJECT_TYPE,
                                  PROP_TAG(textType, PROP_ID(PR_DISPLAY_NAME_A)),
                                  PROP_TAG(textType, PROP_ID(PR_SMTP_ADDRESS_A)),
                                  PROP_TAG(textType, PROP_ID(PR_EMS_AB_OBJ_DIST_NAME_A))};
    });
}

} // namespace mapisim
