#include <gtest/gtest.h>
#include "GatePlacement.h"
#include "buildmatch/SiblingLaunch.h"
#include "gui/GApplication.h"
#include "tests/buildmatch/ProbeRecord.h"
#include "tests/support/TempFolder.h"

namespace {
const GApplication app;

// The probe copied into a folder of its own, away from this executable's folder and the
// search path, so only its full path can start it.
class LaunchProgram : public ::testing::Test {
protected:
    void SetUp() override {
        const WideString source = app.GetModuleFolder(true) + kOwnSibling;
        ASSERT_TRUE(::CopyFileW(source.c_str(), probe.c_str(), FALSE));
    }

    // Starts the probe and waits for it to end, so its record is there the moment
    // LaunchProgram returns.
    ProbeRecord Launch(const WideString& arguments) {
        const WideString recordPath = folder.File(L"record" + std::to_wstring(++launches) + L".txt");
        ScopedEnvironment recordVariable(kProbeRecordVariable, recordPath);
        ProbeRecord record;
        EXPECT_TRUE(app.LaunchProgram(probe, arguments, 60));
        const ByteString bytes = ReadFileBytes(recordPath);
        EXPECT_TRUE(ParseProbeRecord(
            WideString(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)),
            record))
            << "no record right after LaunchProgram returned";
        return record;
    }

    TempFolder folder;
    const WideString probe = folder.File(L"probe.exe");
    int launches = 0;
};

TEST_F(LaunchProgram, CommandLineIsTheBareNameAndTheArguments) {
    const WideString longArgument(4000, L'a');
    const struct {
        WideString arguments;
        WideString commandLine;
    } cases[] = {
        {L"", L"probe.exe"},
        {L"alpha beta", L"probe.exe alpha beta"},
        {L" alpha", L"probe.exe alpha"},
        {L"  two blanks", L"probe.exe  two blanks"},
        {L"\t tab first", L"probe.exe \t tab first"},
        {L"\"quoted text\" \u00e9\u65e5\u672c", L"probe.exe \"quoted text\" \u00e9\u65e5\u672c"},
        {longArgument, L"probe.exe " + longArgument},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "arguments \"" << c.arguments.substr(0, 40) << "\"");
        const ProbeRecord record = Launch(c.arguments);
        EXPECT_EQ(record.commandLine, c.commandLine);
        EXPECT_EQ(record.modulePath, probe);
    }
}

// The gate's launch marks the child, and only the child; a plain launch marks nothing.
TEST_F(LaunchProgram, TheMarkedLaunchMarksTheChildOnly) {
    EXPECT_TRUE(Launch(L"").relaunched.empty());
    const WideString recordPath = folder.File(L"marked.txt");
    ScopedEnvironment recordVariable(kProbeRecordVariable, recordPath);
    ASSERT_TRUE(LaunchMarkedSibling(probe));
    ProbeRecord record;
    ASSERT_TRUE(WaitForProbeRecord(recordPath, record));
    EXPECT_EQ(record.relaunched, L"1");
    EXPECT_EQ(record.commandLine, L"probe.exe");
    EXPECT_FALSE(StartedByGate());
    EXPECT_FALSE(LaunchMarkedSibling(folder.File(L"absent.exe")));
}

TEST_F(LaunchProgram, MissingFileStartsNothing) {
    EXPECT_FALSE(app.LaunchProgram(folder.File(L"absent.exe"), L"", 0));
    EXPECT_FALSE(app.LaunchProgram(folder.File(L"absent.exe"), L"with arguments", 10));
    EXPECT_FALSE(app.LaunchProgram(folder.Path() + L"\\no such folder\\probe.exe", L"", 0));
}
} // namespace
