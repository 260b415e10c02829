#include <gtest/gtest.h>
#include "directory/EntryKind.h"

namespace {

struct Case {
    std::optional<int32_t> type;
    std::optional<int32_t> typeEx;
    EntryType expectedType;
    EntryKind expectedKind;
};

TEST(EntryKind, ClassifiesBothDisplayTypes) {
    constexpr int32_t kRemoteValid = static_cast<int32_t>(0x80000000u); // DTE_FLAG_REMOTE_VALID
    const Case cases[] = {
        {0, 0, EntryType::MailUser, EntryKind::MailboxUser},
        {0, 7, EntryType::MailUser, EntryKind::Room},
        {0, 8, EntryType::MailUser, EntryKind::Equipment},
        {0, kRemoteValid | 0x0600 | 7, EntryType::MailUser, EntryKind::Room}, // only the low byte counts
        {0, std::nullopt, EntryType::MailUser, EntryKind::OtherMailUser},
        {0, 3, EntryType::MailUser, EntryKind::OtherMailUser},
        {1, 9, EntryType::DistList, EntryKind::SecurityGroup},
        {1, 1, EntryType::DistList, EntryKind::DistributionGroup},
        {1, std::nullopt, EntryType::DistList, EntryKind::DistributionGroup},
        {2, 2, EntryType::Forum, EntryKind::Forum},
        {3, std::nullopt, EntryType::Agent, EntryKind::Agent},
        {6, 0, EntryType::Remote, EntryKind::RemoteMailUser},
        // The window's six kinds follow the display type alone.
        {4, 0, EntryType::Unknown, EntryKind::Unknown},
        {5, 9, EntryType::Unknown, EntryKind::Unknown},
        {7, 7, EntryType::Unknown, EntryKind::Unknown},
        {-1, std::nullopt, EntryType::Unknown, EntryKind::Unknown},
        {std::nullopt, 7, EntryType::Unknown, EntryKind::Unknown},
        {std::nullopt, std::nullopt, EntryType::Unknown, EntryKind::Unknown},
    };
    for (const Case& c : cases) {
        const Classification got = ClassifyEntry(c.type, c.typeEx);
        EXPECT_EQ(got.type, c.expectedType) << c.type.value_or(-99) << "/" << c.typeEx.value_or(-99);
        EXPECT_EQ(got.kind, c.expectedKind) << c.type.value_or(-99) << "/" << c.typeEx.value_or(-99);
    }
}

TEST(EntryKind, NamesEveryKindAndType) {
    EXPECT_STREQ(EntryTypeText(EntryType::MailUser), L"mailuser");
    EXPECT_STREQ(EntryTypeText(EntryType::DistList), L"dist list");
    EXPECT_STREQ(EntryTypeText(EntryType::Remote), L"remote");
    EXPECT_STREQ(EntryTypeText(EntryType::Unknown), L"unknown");
    EXPECT_STREQ(EntryKindName(EntryKind::SecurityGroup), L"security group");
    EXPECT_STREQ(EntryKindName(EntryKind::OtherMailUser), L"other mail user");
    for (int i = 0; i < kEntryKindCount; ++i)
        EXPECT_NE(std::wstring(EntryKindName(static_cast<EntryKind>(i))), L"") << i;
}

} // namespace
