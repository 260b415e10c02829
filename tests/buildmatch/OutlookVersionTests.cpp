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
        {L"Outlook.Application.15", 15},
        {L"Outlook.Application.14", 14},
        {L"Outlook.Application.12", 12},
        {L"Outlook.Application.11", 11},
        {L"Outlook.Application.10", 10},
        {L"Outlook.Application.9", 9},
        {L"Outlook.Application.8", 8},
        {L"Outlook.Application.13", 0},
        {L"outlook.application.15", 0},
        {L"Outlook.Application.15 ", 0},
        {L" Outlook.Application.15", 0},
        {L"Outlook.Application", 0},
        {L"", 0},
        // Outlook 2016 and later: any decimal number from 16, written plainly.
        {L"Outlook.Application.16", 16},
        {L"Outlook.Application.17", 17},
        {L"Outlook.Application.150", 150},
        {L"Outlook.Application.016", 0},
        {L"Outlook.Application.16 ", 0},
        {L"outlook.application.16", 0},
        {L"Outlook.Application.", 0},
        {L"Outlook.Application.2147483647", 2147483647},
        {L"Outlook.Application.2147483648", 0},
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
    EXPECT_EQ(app.GetOutlookBitness(), Bitness::X86);
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
    Bitness expected;
    Value clickToRun = absent; // Bitness in Click-to-Run's own registry, 64-bit view
    Value platform = absent;   // Click-to-Run's Configuration, 64-bit view
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

bool WriteClickToRun(OutlookRegistry& registry, const BitnessCase& c) {
    const WideString hive =
        L"SOFTWARE\\Microsoft\\Office\\ClickToRun\\REGISTRY\\MACHINE\\Software\\Microsoft\\Office\\";
    return (c.clickToRun.kind != Value::Text ||
            registry.SetMachineString(hive + c.keyVersion + L"\\Outlook", true, L"Bitness",
                                      c.clickToRun.text)) &&
           (c.platform.kind != Value::Text ||
            registry.SetMachineString(L"SOFTWARE\\Microsoft\\Office\\ClickToRun\\Configuration", true,
                                      L"Platform", c.platform.text));
}

TEST(OutlookBitness, RegistryCombinations) {
    const Bitness x86 = Bitness::X86, x64 = Bitness::X64, unknown = Bitness::Unknown;
    const wchar_t* v15 = L"Outlook.Application.15";
    const wchar_t* v16 = L"Outlook.Application.16";
    const BitnessCase cases[] = {
        {"64-bit view decides", v15, L"15.0", Text(L"x64"), absent, x64},
        {"views disagree, 64-bit first", v15, L"15.0", Text(L"x64"), Text(L"x86"), x64},
        {"views disagree the other way", v15, L"15.0", Text(L"x86"), Text(L"x64"), x86},
        {"only the 32-bit view, x86", L"Outlook.Application.14", L"14.0", absent, Text(L"x86"), x86},
        {"only the 32-bit view, x64", L"Outlook.Application.14", L"14.0", absent, Text(L"x64"), x64},
        {"upper case in both views", v15, L"15.0", Text(L"X64"), Text(L"X64"), unknown},
        {"upper case falls through", v15, L"15.0", Text(L"X64"), Text(L"x86"), x86},
        {"empty text falls through", L"Outlook.Application.14", L"14.0", Text(L""), Text(L"x64"), x64},
        {"trailing blank", v15, L"15.0", Text(L"x64 "), absent, unknown},
        {"absent in both views", v15, L"15.0", absent, absent, unknown},
        {"numbers in both views", v15, L"15.0", number, number, unknown},
        {"a number counts as absent", v15, L"15.0", number, Text(L"x64"), x64},
        {"key of another version", L"Outlook.Application.14", L"15.0", Text(L"x64"), Text(L"x64"), unknown},
        {"version 15 reads no Click-to-Run", v15, L"15.0", absent, absent, unknown, Text(L"x64"),
         Text(L"x64")},
        {"version 12 reads no Bitness", L"Outlook.Application.12", L"12.0", Text(L"x64"), Text(L"x64"), x86},
        {"version 8 reads no Bitness", L"Outlook.Application.8", L"8.0", Text(L"x64"), Text(L"x64"), x86},
        {"no Outlook registered", nullptr, L"0.0", Text(L"x64"), Text(L"x64"), x86},
        // Version 16 and later: each source alone, then none, then two that disagree.
        {"16, the 64-bit view", v16, L"16.0", Text(L"x64"), absent, x64},
        {"16, only the 32-bit view", v16, L"16.0", absent, Text(L"x86"), x86},
        {"16, only Click-to-Run's registry", v16, L"16.0", absent, absent, x64, Text(L"x64")},
        {"16, only Platform", v16, L"16.0", absent, absent, x86, absent, Text(L"x86")},
        {"16, none of them", v16, L"16.0", absent, absent, unknown},
        {"16, the 64-bit view before Platform", v16, L"16.0", Text(L"x86"), absent, x86, absent,
         Text(L"x64")},
        {"16, Click-to-Run's registry before Platform", v16, L"16.0", absent, absent, x86, Text(L"x86"),
         Text(L"x64")},
        {"a three-digit version", L"Outlook.Application.150", L"150.0", absent, absent, x64, Text(L"x64")},
    };
    for (const BitnessCase& c : cases) {
        SCOPED_TRACE(c.what);
        OutlookRegistry registry;
        if (c.curVer) {
            ASSERT_TRUE(registry.SetCurVer(c.curVer));
        }
        ASSERT_TRUE(Write(registry, c, true));
        ASSERT_TRUE(Write(registry, c, false));
        ASSERT_TRUE(WriteClickToRun(registry, c));
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
