#pragma once
#include <cstdint>
#include <optional>

// What a Global Address List entry is, from its PR_DISPLAY_TYPE and PR_DISPLAY_TYPE_EX.

// The six kinds the window counts and shows. The value is the entry's type code and its
// image index in the list view.
enum class EntryType : int { MailUser = 0, DistList = 1, Remote = 2, Forum = 3, Agent = 4, Unknown = 5 };

// The kinds licence counts need: PR_DISPLAY_TYPE_EX tells mailboxes from rooms and
// equipment, and security groups from plain distribution groups.
enum class EntryKind : uint8_t {
    MailboxUser,
    Room,
    Equipment,
    OtherMailUser,
    DistributionGroup,
    SecurityGroup,
    Forum,
    Agent,
    RemoteMailUser,
    Unknown,
};
constexpr int kEntryKindCount = static_cast<int>(EntryKind::Unknown) + 1;

struct Classification {
    EntryType type;
    EntryKind kind;
};

// Either value may be missing (PT_ERROR or absent).
Classification ClassifyEntry(std::optional<int32_t> displayType, std::optional<int32_t> displayTypeEx);

// "mailuser", "dist list", "remote", "forum", "agent", "unknown": the texts of the list's
// Type column and the export's first field.
const wchar_t* EntryTypeText(EntryType type);
// "mailbox user", "room", ...: the detailed kind as the console and the CSV name it.
const wchar_t* EntryKindName(EntryKind kind);
