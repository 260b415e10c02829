#include <gtest/gtest.h>
#include "gui/GApplication.h"
#include "tests/support/RegistryKey.h"

namespace {
const GApplication app;
const wchar_t kKey[] = L"Software\\RostermintTests\\TextRegistry";

// Every case runs in both registry views, on the prefix's real registry.
class ReadRegistryString : public ::testing::TestWithParam<bool> {
protected:
    bool View64() const { return GetParam(); }
    WideString Read(const WideString& value) const {
        return app.ReadRegistryString(HKEY_CURRENT_USER, kKey, value, L"DEFAULT", View64());
    }
};

TEST_P(ReadRegistryString, AbsentKeyGivesDefault) {
    EXPECT_EQ(app.ReadRegistryString(HKEY_CURRENT_USER, L"Software\\RostermintTests\\NoSuchKey", L"v",
                                     L"DEFAULT", View64()),
              L"DEFAULT");
}

TEST_P(ReadRegistryString, ValueShapes) {
    TestRegistryKey key(HKEY_CURRENT_USER, kKey, View64());
    ASSERT_TRUE(key.IsOpen());
    ASSERT_TRUE(key.SetString(L"text", L"Outlook.Application.16"));
    ASSERT_TRUE(key.SetString(L"", L"default value"));
    ASSERT_TRUE(key.SetBytes(L"zero", REG_SZ, "", 0));
    ASSERT_TRUE(key.SetBytes(L"nul", REG_SZ, L"", 2));
    const wchar_t unterminated[] = {L'x', L'6', L'4'};
    ASSERT_TRUE(key.SetBytes(L"unterminated", REG_SZ, unterminated, sizeof(unterminated)));
    ASSERT_TRUE(key.SetDword(L"number", 0x00360078)); // the UTF-16 units 'x', '6'

    EXPECT_EQ(Read(L"text"), L"Outlook.Application.16");
    EXPECT_EQ(Read(L""), L"default value");
    EXPECT_EQ(Read(L"absent"), L"DEFAULT");
    EXPECT_EQ(Read(L"zero"), L"DEFAULT");
    EXPECT_EQ(Read(L"nul"), L""); // holds only its terminator: empty text, not the default
    EXPECT_EQ(Read(L"unterminated"), L"x64");
    EXPECT_EQ(Read(L"number"), L"x6"); // the bytes of any type are read as UTF-16 text
}

TEST_P(ReadRegistryString, ViewsAreSeparate) {
    // HKLM\Software is split between the views in a 64-bit prefix.
    const WideString path = L"Software\\RostermintTests\\ViewProbe";
    TestRegistryKey key(HKEY_LOCAL_MACHINE, path, View64());
    ASSERT_TRUE(key.IsOpen());
    ASSERT_TRUE(key.SetString(L"Bitness", View64() ? L"x64" : L"x86"));
    EXPECT_EQ(app.ReadRegistryString(HKEY_LOCAL_MACHINE, path, L"Bitness", L"", View64()),
              View64() ? L"x64" : L"x86");
    EXPECT_EQ(app.ReadRegistryString(HKEY_LOCAL_MACHINE, path, L"Bitness", L"", !View64()), L"");
}

INSTANTIATE_TEST_SUITE_P(BothViews, ReadRegistryString, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "View64" : "View32";
                         });
} // namespace
