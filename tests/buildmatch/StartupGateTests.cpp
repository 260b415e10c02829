#include <gtest/gtest.h>
#include <vector>
#include "GatePlacement.h"
#include "base/ScopedWin.h"
#include "buildmatch/BuildBitness.h"
#include "buildmatch/SiblingLaunch.h"
#include "gui/GApplication.h"
#include "tests/support/JobProcess.h"
#include "tests/support/OtherFlavour.h"
#include "tests/support/OutlookRegistry.h"
#include "tests/buildmatch/ProbeRecord.h"
#include "tests/support/TempFolder.h"

namespace {
const GApplication app;
const bool kIs64 = BuildBitness == Bitness::X64;
const WideString kOwnName = kIs64 ? L"Rostermint64.exe" : L"Rostermint32.exe";
const WideString kSiblingName = kIs64 ? L"Rostermint32.exe" : L"Rostermint64.exe";
const Bitness kOtherBitness = kIs64 ? Bitness::X86 : Bitness::X64;

// Each test gets a fresh folder holding the gate runner under this flavour's name, as the
// program is shipped, and writes the Outlook entries the gate is to find.
class StartupGate : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Place(kGateRunner, kOwnName)); }

    bool Place(const WideString& relativeSource, const WideString& name) const {
        const WideString source = app.GetModuleFolder(true) + relativeSource;
        return ::CopyFileW(source.c_str(), folder.File(name).c_str(), FALSE) != FALSE;
    }

    // Places the sibling; false when only this flavour's stand-in could be placed.
    bool PlaceSibling() const {
        if (kOtherSibling[0] != L'\0' && OtherFlavourRuns() && Place(kOtherSibling, kSiblingName))
            return true;
        std::printf("[   NOTE   ] no sibling of the other flavour that this machine can run: using\n"
                    "[   NOTE   ] this flavour's probe, so the started sibling's bitness is not checked\n");
        EXPECT_TRUE(Place(kOwnSibling, kSiblingName));
        return false;
    }

    // Runs the gate and checks that it started the sibling from its own folder and ended
    // with exit code 1 without waiting for it.
    void ExpectSiblingStarted() {
        const bool otherFlavour = PlaceSibling();
        const WideString recordPath = folder.File(L"record.txt");
        const WideString holdName = L"RostermintGateHold" + std::to_wstring(::GetCurrentProcessId());
        AutoCloseHandle hold(::CreateEventW(nullptr, TRUE, FALSE, holdName.c_str()));
        ScopedEnvironment recordVariable(kProbeRecordVariable, recordPath);
        ScopedEnvironment holdVariable(kProbeHoldVariable, holdName);

        JobProcess gate(folder.File(kOwnName));
        ASSERT_EQ(gate.WaitForExit(), 1u);
        EXPECT_EQ(gate.TotalProcesses(), 2u);
        EXPECT_EQ(gate.ActiveProcesses(), 1u) << "the sibling still runs, so the gate did not wait for it";
        if (otherFlavour) {
            // The real program, which keeps running with its window.
            const std::vector<WideString> images = gate.RunningImages();
            ASSERT_EQ(images.size(), 1u);
            EXPECT_EQ(::lstrcmpiW(images[0].c_str(), folder.File(kSiblingName).c_str()), 0) << images[0];
        } else {
            ProbeRecord record;
            ASSERT_TRUE(WaitForProbeRecord(recordPath, record));
            EXPECT_EQ(record.commandLine, kSiblingName);
            EXPECT_EQ(record.modulePath, folder.File(kSiblingName));
            EXPECT_EQ(record.relaunched, L"1") << "the sibling must know that a gate started it";
        }
        ::SetEvent(hold.Get());
        if (!otherFlavour)
            GTEST_SKIP() << "no " << BitnessText(kOtherBitness)
                         << " sibling to start: build the other flavour first";
    }

    // Runs the gate and checks that start-up carries on with nothing started.
    void ExpectCarriesOn() {
        JobProcess gate(folder.File(kOwnName));
        EXPECT_EQ(gate.WaitForExit(), 0u);
        EXPECT_EQ(gate.TotalProcesses(), 1u);
    }

    TempFolder folder;
    OutlookRegistry registry;
};

TEST_F(StartupGate, StartsTheOtherFlavourWhenOutlookHasItsBitness) {
    ASSERT_TRUE(registry.Report(kOtherBitness));
    ExpectSiblingStarted();
}

TEST_F(StartupGate, NoOutlookRegisteredAsksForThe32BitFlavour) {
    ASSERT_EQ(app.GetOutlookBitness(), Bitness::X86);
    if (kIs64) {
        ExpectSiblingStarted();
    } else {
        ASSERT_TRUE(Place(kOwnSibling, kSiblingName));
        ExpectCarriesOn();
    }
}

TEST_F(StartupGate, CarriesOnForItsOwnBitnessOrUnknown) {
    // A sibling is there to be started; the gate must leave it alone.
    ASSERT_TRUE(Place(kOwnSibling, kSiblingName));
    for (const Bitness reported : {BuildBitness, Bitness::Unknown}) {
        SCOPED_TRACE(testing::Message() << "reported " << BitnessText(reported));
        OutlookRegistry reporting;
        ASSERT_TRUE(reporting.Report(reported));
        ExpectCarriesOn();
    }
}

// The loop guard: a process that a gate started never starts another, whatever it finds.
TEST_F(StartupGate, ASiblingStartedByTheGateStartsNothing) {
    ASSERT_TRUE(registry.Report(kOtherBitness));
    ASSERT_TRUE(Place(kOwnSibling, kSiblingName));
    ScopedEnvironment marked(kRelaunchedVariable, L"1");
    ExpectCarriesOn();
}

TEST_F(StartupGate, CarriesOnWhenTheSiblingIsAbsent) {
    ASSERT_TRUE(registry.Report(kOtherBitness));
    ExpectCarriesOn();
}

TEST_F(StartupGate, CarriesOnWhenTheSiblingCannotStart) {
    ASSERT_TRUE(registry.Report(kOtherBitness));
    ASSERT_TRUE(WriteFileBytes(folder.File(kSiblingName), "not a program"));
    ExpectCarriesOn();
}
} // namespace
