#include "tests/buildmatch/ProbeRecord.h"
#include "tests/support/TempFolder.h"

bool ParseProbeRecord(const WideString& text, ProbeRecord& record) {
    const size_t first = text.find(L'\n');
    const size_t second = first == WideString::npos ? first : text.find(L'\n', first + 1);
    const size_t third = second == WideString::npos ? second : text.find(L'\n', second + 1);
    if (third == WideString::npos)
        return false;
    record.bitness = text.substr(0, first);
    record.modulePath = text.substr(first + 1, second - first - 1);
    record.relaunched = text.substr(second + 1, third - second - 1);
    record.commandLine = text.substr(third + 1);
    return true;
}

bool WaitForProbeRecord(const WideString& path, ProbeRecord& record, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            const ByteString bytes = ReadFileBytes(path);
            const WideString text(reinterpret_cast<const wchar_t*>(bytes.data()),
                                  bytes.size() / sizeof(wchar_t));
            return ParseProbeRecord(text, record);
        }
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(50);
    }
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const WideString& value) : name(name) {
    ::SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    ::SetEnvironmentVariableW(name, nullptr);
}
