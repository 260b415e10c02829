// Stands in for the sibling flavour's executable in the gate tests: it records how it was
// started, optionally holds on until the test lets it go, and ends.
#include <windows.h>
#include <vector>
#include "base/ScopedWin.h"
#include "buildmatch/BuildBitness.h"
#include "buildmatch/SiblingLaunch.h"
#include "tests/buildmatch/ProbeRecord.h"

namespace {
WideString Environment(const wchar_t* name) {
    std::vector<wchar_t> value(32768, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return length < value.size() ? WideString(value.data(), length) : WideString();
}

bool WriteRecord(const WideString& path, const WideString& text) {
    const WideString partial = path + L".part";
    AutoCloseHandle file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    const bool ok = ::WriteFile(file.Get(), text.data(), size, &written, nullptr) && written == size;
    file.Close();
    return ok && ::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const WideString recordPath = Environment(kProbeRecordVariable);
    if (recordPath.empty())
        return 2;
    std::vector<wchar_t> module(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    ProbeRecord record;
    record.bitness = BitnessText(BuildBitness);
    record.modulePath.assign(module.data(), length);
    record.relaunched = Environment(kRelaunchedVariable);
    record.commandLine = ::GetCommandLineW();
    if (!WriteRecord(recordPath, FormatProbeRecord(record)))
        return 3;

    const WideString hold = Environment(kProbeHoldVariable);
    if (!hold.empty()) {
        AutoCloseHandle release(::OpenEventW(SYNCHRONIZE, FALSE, hold.c_str()));
        if (release)
            ::WaitForSingleObject(release.Get(), 120000);
    }
    return 0;
}
