#include "directory/DetailCatalogue.h"
#include <gtest/gtest.h>
#include <mapitags.h>
#include <set>
#include <string>

// The catalogue against the published tags: a slip in one identifier would read another
// property without any error.
TEST(DetailCatalogue, TagsAreThePublishedOnesAndNamesAreUnique) {
    const ULONG published[] = {PR_TITLE_W,
                               PR_DEPARTMENT_NAME_W,
                               PR_COMPANY_NAME_W,
                               PR_OFFICE_LOCATION_W,
                               PR_BUSINESS_TELEPHONE_NUMBER_W,
                               PR_MOBILE_TELEPHONE_NUMBER_W,
                               PR_ACCOUNT_W,
                               PR_STREET_ADDRESS_W,
                               PR_LOCALITY_W,
                               PR_STATE_OR_PROVINCE_W,
                               PR_POSTAL_CODE_W,
                               PR_COUNTRY_W,
                               0x800F101F, // PidTagAddressBookProxyAddresses
                               0x802D001F,
                               0x802E001F,
                               0x802F001F,
                               0x8030001F,
                               0x8031001F,
                               0x8032001F,
                               0x8033001F,
                               0x8034001F,
                               0x8035001F,
                               0x8036001F, // ExtensionAttribute1..10
                               0x8C57001F,
                               0x8C58001F,
                               0x8C59001F,
                               0x8C60001F,
                               0x8C61001F}; // ..11 to 15
    ASSERT_EQ(std::size(published), details::kCount);
    std::set<std::string> names;
    std::set<std::wstring> headings;
    for (size_t i = 0; i < details::kCount; ++i) {
        const details::Detail& detail = details::kCatalogue[i];
        SCOPED_TRACE(detail.name);
        EXPECT_EQ(detail.unicodeTag, published[i]);
        EXPECT_EQ(PROP_ID(detail.ansiTag), PROP_ID(detail.unicodeTag));
        EXPECT_EQ(PROP_TYPE(detail.ansiTag), detail.multiValued ? ULONG(PT_MV_STRING8) : ULONG(PT_STRING8));
        EXPECT_TRUE(names.insert(detail.name).second);
        EXPECT_TRUE(headings.insert(detail.heading).second);
        EXPECT_EQ(details::IndexOf(detail.name), static_cast<int>(i));
        EXPECT_EQ(details::IndexOfPropId(PROP_ID(detail.unicodeTag)), static_cast<int>(i));
    }
    EXPECT_STREQ(details::kCatalogue[details::kCount - 1].name, "custom15");
    EXPECT_EQ(details::IndexOf("custom"), -1);
    EXPECT_EQ(details::IndexOfName("titles", 6), -1);
    EXPECT_EQ(details::IndexOfName("title=x", 5), 0);
    EXPECT_EQ(details::IndexOfPropId(0x3001), -1); // PR_DISPLAY_NAME is no detail
}
