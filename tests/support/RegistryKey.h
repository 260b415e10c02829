#pragma once
#include <windows.h>
#include "base/Strings.h"

// A registry key that a test writes in the prefix's real registry and removes again
// (with its values) when it goes out of scope. view64 picks the registry view.
class TestRegistryKey {
public:
    TestRegistryKey(HKEY root, const WideString& path, bool view64);
    ~TestRegistryKey();
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    bool IsOpen() const { return key != nullptr; }
    // Raw bytes of any type, so a test can write values without a terminating zero.
    bool SetBytes(const WideString& name, DWORD type, const void* data, DWORD size);
    // A REG_SZ with its terminating zero.
    bool SetString(const WideString& name, const WideString& text);
    bool SetDword(const WideString& name, DWORD value);
    bool DeleteValue(const WideString& name);

private:
    HKEY root;
    WideString path;
    REGSAM view;
    HKEY key = nullptr;
};
