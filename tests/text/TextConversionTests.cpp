#include <gtest/gtest.h>
#include "gui/GApplication.h"
#include "text/TextConversion.h"

namespace {
const GApplication app;

TEST(Utf8, NonAsciiRoundTripsWithExactBytes) {
    // U+00E9 takes two bytes; U+1F600 (a surrogate pair) takes four; no byte order mark.
    const WideString text = L"\u00e9|\U0001F600";
    const ByteString bytes = app.WideToMultiByte(text, CP_UTF8);
    EXPECT_EQ(bytes, ByteString("\xC3\xA9|\xF0\x9F\x98\x80"));
    EXPECT_EQ(app.MultiByteToWide(bytes, CP_UTF8), text);
}

TEST(Utf8, AppendingGivesTheSameBytesAfterWhatWasThere) {
    // A lone surrogate is replaced as the one-string conversion replaces it.
    const WideString text = L"\u00e9|\U0001F600|\xD800|\u4e2d";
    ByteString out = "head|";
    AppendUtf8(out, text);
    AppendUtf8(out, WideString());
    EXPECT_EQ(out, "head|" + app.WideToMultiByte(text, CP_UTF8));
}

TEST(Utf8, InvalidBytesBecomeReplacementCharacters) {
    const WideString text = app.MultiByteToWide(ByteString("a\xFF"
                                                           "b\xC3",
                                                           4),
                                                CP_UTF8);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), L'a');
    EXPECT_NE(text.find(L'\uFFFD'), WideString::npos);
    EXPECT_NE(text.find(L'b'), WideString::npos);
}

TEST(Utf8, EmptyInputGivesEmptyOutput) {
    EXPECT_TRUE(app.WideToMultiByte(WideString(), CP_UTF8).empty());
    EXPECT_TRUE(app.MultiByteToWide(ByteString(), CP_UTF8).empty());
}

TEST(Utf8, EmbeddedZerosAreConvertedByCount) {
    const WideString text(L"a\0b", 3);
    const ByteString bytes = app.WideToMultiByte(text, CP_UTF8);
    EXPECT_EQ(bytes, ByteString("a\0b", 3));
    EXPECT_EQ(app.MultiByteToWide(bytes, CP_UTF8), text);
    // The terminator after the count is kept for wide calls.
    EXPECT_EQ(bytes.c_str()[3], '\0');
}

TEST(Utf8, FailedConversionGivesEmptyResult) {
    // No such code page: the platform refuses, and the result is simply empty.
    EXPECT_TRUE(app.WideToMultiByte(L"abc", 12345).empty());
    EXPECT_TRUE(app.MultiByteToWide("abc", 12345).empty());
}

TEST(FormatUnsigned, Extremes) {
    EXPECT_EQ(app.FormatUnsigned(0), L"0");
    EXPECT_EQ(app.FormatUnsigned(7), L"7");
    EXPECT_EQ(app.FormatUnsigned(1000), L"1000");
    EXPECT_EQ(app.FormatUnsigned(UINT64_MAX), L"18446744073709551615");
}
} // namespace
