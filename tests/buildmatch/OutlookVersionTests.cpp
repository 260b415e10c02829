#include <gtest/gtest.h>
#include "gui/GApplication.h"
#include "tests/support/OutlookRegistry.h"

namespace {
const GApplication app;

TEST(OutlookVersion, CurVerTexts) {
    const struct {
        const wchar_t* curVer;
        int version;
    } cases[] = {
        {L"Outlook.Application.15", 15}, {L"Outlook.Application.14", 14},
        {L"Outlook.Application.12", 12}, {L"Outlook.Application.11", 11},
        {L"Outlook.Application.10", 10}, {L"Outlook.Application.9", 9},
        {L"Outlook.Application.8", 8},   {L"Outlook.Application.13", 0},
        {L"Outlook.Application.16", 0},  {L"Outlook.Application.17", 0},
        {L"Outlook.Application.150", 0}, {L"outlook.application.15", 0},
        {L"Outlook.Application.15 ", 0}, {L" Outlook.Application.15", 0},
        {L"Outlook.Application", 0},     {L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "CurVer \"" << WideString(c.curVer) << "\"");
        OutlookRegistry registry;
        ASSERT_TRUE(registry.SetCurVer(c.curVer));
        EXPECT_EQ(app.GetOutlookVersion(), c.version);
    }
}

TEST(OutlookVersion, NoOutlookRegistered) {
    EXPECT_EQ(app.GetOutlookVersion(), 0);
    EXPECT_EQ(app.GetOutlookBitness(), L"x86");
}

TEST(OutlookVersion, ReadFromThe32BitView) {
    OutlookRegistry registry;
    ASSERT_TRUE(registry.SetCurVer(L"Outlook.Application.15", true));
    // Windows shares HKCR\Outlook.Application between the views, and so does Wine for a
    // 32-bit process; only a 64-bit process under Wine sees two separate keys here.
    if (app.ReadRegistryString(HKEY_CLASSES_ROOT, L"Outlook.Application\\CurVer", L"", L"", false) != L"")
        GTEST_SKIP() << "the registry views share Outlook.Application here";
    EXPECT_EQ(app.GetOutlookVersion(), 0);
}

// One registry value as a test writes it: absent, a text, or a 32-bit number.
struct Value {
    enum Kind { Absent, Text, Number } kind = Absent;
    const wchar_t* text = L"";
};
const Value absent;
Value Text(const wchar_t* text) {
    return {Value::Text, text};
}
const Value number{Value::Number};

struct BitnessCase {
    const char* what;
    const wchar_t* curVer;     // nullptr: no CurVer key at all
    const wchar_t* keyVersion; // where Bitness is written: Office\<keyVersion>\Outlook
    Value view64;
    Value view32;
    const wchar_t* expected;
};

bool Write(OutlookRegistry& registry, const BitnessCase& c, bool view64) {
    const Value& value = view64 ? c.view64 : c.view32;
    switch (value.kind) {
    case Value::Text:
        return registry.SetBitness(c.keyVersion, view64, value.text);
    case Value::Number:
        // 'x', '6' as UTF-16 units: still never the three characters "x64".
        return registry.SetBitnessDword(c.keyVersion, view64, 0x00360078);
    case Value::Absent:
        break;
    }
    return true;
}

TEST(OutlookBitness, RegistryCombinations) {
    const BitnessCase cases[] = {
        {"64-bit view decides", L"Outlook.Application.15", L"15.0", Text(L"x64"), absent, L"x64"},
        {"views disagree, 64-bit first", L"Outlook.Application.15", L"15.0", Text(L"x64"), Text(L"x86"),
         L"x64"},
        {"views disagree the other way", L"Outlook.Application.15", L"15.0", Text(L"x86"), Text(L"x64"),
         L"x86"},
        {"only the 32-bit view, x86", L"Outlook.Application.14", L"14.0", absent, Text(L"x86"), L"x86"},
        {"only the 32-bit view, x64", L"Outlook.Application.14", L"14.0", absent, Text(L"x64"), L"x64"},
        {"upper case in both views", L"Outlook.Application.15", L"15.0", Text(L"X64"), Text(L"X64"),
         L"UNKNOWN"},
        {"upper case falls through", L"Outlook.Application.15", L"15.0", Text(L"X64"), Text(L"x86"), L"x86"},
        {"empty text falls through", L"Outlook.Application.14", L"14.0", Text(L""), Text(L"x64"), L"x64"},
        {"trailing blank", L"Outlook.Application.15", L"15.0", Text(L"x64 "), absent, L"UNKNOWN"},
        {"absent in both views", L"Outlook.Application.15", L"15.0", absent, absent, L"UNKNOWN"},
        {"numbers in both views", L"Outlook.Application.15", L"15.0", number, number, L"UNKNOWN"},
        {"a number counts as absent", L"Outlook.Application.15", L"15.0", number, Text(L"x64"), L"x64"},
        {"key of another version", L"Outlook.Application.14", L"15.0", Text(L"x64"), Text(L"x64"),
         L"UNKNOWN"},
        {"version 12 reads no Bitness", L"Outlook.Application.12", L"12.0", Text(L"x64"), Text(L"x64"),
         L"x86"},
        {"version 8 reads no Bitness", L"Outlook.Application.8", L"8.0", Text(L"x64"), Text(L"x64"), L"x86"},
        {"version 16 is not recognised", L"Outlook.Application.16", L"16.0", Text(L"x64"), Text(L"x64"),
         L"x86"},
        {"no Outlook registered", nullptr, L"0.0", Text(L"x64"), Text(L"x64"), L"x86"},
    };
    for (const BitnessCase& c : cases) {
        SCOPED_TRACE(c.what);
        OutlookRegistry registry;
        if (c.curVer) {
            ASSERT_TRUE(registry.SetCurVer(c.curVer));
        }
        ASSERT_TRUE(Write(registry, c, true));
        ASSERT_TRUE(Write(registry, c, false));
        // Each view must hold exactly what was written to it, or a row would prove nothing.
        const WideString key = WideString(L"SOFTWARE\\Microsoft\\Office\\") + c.keyVersion + L"\\Outlook";
        for (const bool view64 : {true, false}) {
            const Value& value = view64 ? c.view64 : c.view32;
            const WideString held = app.ReadRegistryString(HKEY_LOCAL_MACHINE, key, L"Bitness", L"-", view64);
            if (value.kind == Value::Text) {
                ASSERT_EQ(held, value.text);
            } else if (value.kind == Value::Absent) {
                ASSERT_EQ(held, L"-");
            }
        }

        EXPECT_EQ(app.GetOutlookBitness(), c.expected);
    }
}
} // namespace
