#include "directory/EntryKind.h"
#include "directory/MapiConstants.h"

namespace {
// PR_DISPLAY_TYPE_EX keeps the local display type in its low byte (DTE_LOCAL); the
// higher bits carry flags and the remote type. Unsigned, as the DT_* values are.
std::optional<ULONG> LocalType(std::optional<int32_t> displayTypeEx) {
    if (!displayTypeEx)
        return std::nullopt;
    return static_cast<ULONG>(*displayTypeEx) & 0xFF;
}
} // namespace

Classification ClassifyEntry(std::optional<int32_t> displayType, std::optional<int32_t> displayTypeEx) {
    if (!displayType)
        return {EntryType::Unknown, EntryKind::Unknown};
    const std::optional<ULONG> local = LocalType(displayTypeEx);
    switch (static_cast<ULONG>(*displayType)) {
    case DT_MAILUSER:
        if (local == DT_MAILUSER)
            return {EntryType::MailUser, EntryKind::MailboxUser};
        if (local == mapiconst::DT_ROOM)
            return {EntryType::MailUser, EntryKind::Room};
        if (local == mapiconst::DT_EQUIPMENT)
            return {EntryType::MailUser, EntryKind::Equipment};
        return {EntryType::MailUser, EntryKind::OtherMailUser};
    case DT_DISTLIST:
        return {EntryType::DistList, local == mapiconst::DT_SEC_DISTLIST ? EntryKind::SecurityGroup
                                                                         : EntryKind::DistributionGroup};
    case DT_FORUM:
        return {EntryType::Forum, EntryKind::Forum};
    case DT_AGENT:
        return {EntryType::Agent, EntryKind::Agent};
    case DT_REMOTE_MAILUSER:
        return {EntryType::Remote, EntryKind::RemoteMailUser};
    default:
        return {EntryType::Unknown, EntryKind::Unknown};
    }
}

const wchar_t* EntryTypeText(EntryType type) {
    switch (type) {
    case EntryType::MailUser:
        return L"mailuser";
    case EntryType::DistList:
        return L"dist list";
    case EntryType::Remote:
        return L"remote";
    case EntryType::Forum:
        return L"forum";
    case EntryType::Agent:
        return L"agent";
    case EntryType::Unknown:
        break;
    }
    return L"unknown";
}

const wchar_t* EntryKindName(EntryKind kind) {
    switch (kind) {
    case EntryKind::MailboxUser:
        return L"mailbox user";
    case EntryKind::Room:
        return L"room";
    case EntryKind::Equipment:
        return L"equipment";
    case EntryKind::OtherMailUser:
        return L"other mail user";
    case EntryKind::DistributionGroup:
        return L"distribution group";
    case EntryKind::SecurityGroup:
        return L"security group";
    case EntryKind::Forum:
        return L"forum";
    case EntryKind::Agent:
        return L"agent";
    case EntryKind::RemoteMailUser:
        return L"remote mail user";
    case EntryKind::Unknown:
        break;
    }
    return L"unknown";
}
