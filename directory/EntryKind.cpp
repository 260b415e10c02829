#include "directory/EntryKind.h"

namespace {
// Display-type values (mapitags.h, and DT_ROOM to DT_SEC_DISTLIST for the _EX form).
enum : int32_t {
    kMailUser = 0,
    kDistList = 1,
    kForum = 2,
    kAgent = 3,
    kRemoteMailUser = 6,
    kRoom = 7,
    kEquipment = 8,
    kSecurityDistList = 9,
};

// PR_DISPLAY_TYPE_EX keeps the local display type in its low byte (DTE_LOCAL); the
// higher bits carry flags and the remote type.
std::optional<int32_t> LocalType(std::optional<int32_t> displayTypeEx) {
    if (!displayTypeEx)
        return std::nullopt;
    return *displayTypeEx & 0xFF;
}
} // namespace

Classification ClassifyEntry(std::optional<int32_t> displayType, std::optional<int32_t> displayTypeEx) {
    if (!displayType)
        return {EntryType::Unknown, EntryKind::Unknown};
    const std::optional<int32_t> local = LocalType(displayTypeEx);
    switch (*displayType) {
    case kMailUser:
        if (local == kMailUser)
            return {EntryType::MailUser, EntryKind::MailboxUser};
        if (local == kRoom)
            return {EntryType::MailUser, EntryKind::Room};
        if (local == kEquipment)
            return {EntryType::MailUser, EntryKind::Equipment};
        return {EntryType::MailUser, EntryKind::OtherMailUser};
    case kDistList:
        return {EntryType::DistList,
                local == kSecurityDistList ? EntryKind::SecurityGroup : EntryKind::DistributionGroup};
    case kForum:
        return {EntryType::Forum, EntryKind::Forum};
    case kAgent:
        return {EntryType::Agent, EntryKind::Agent};
    case kRemoteMailUser:
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
