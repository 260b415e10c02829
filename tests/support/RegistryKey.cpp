#include "tests/support/RegistryKey.h"

TestRegistryKey::TestRegistryKey(HKEY root, const WideString& path, bool view64)
    : root(root), path(path), view(view64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY) {
    ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
}

TestRegistryKey::~TestRegistryKey() {
    if (key)
        ::RegCloseKey(key);
    ::RegDeleteKeyExW(root, path.c_str(), view, 0);
}

bool TestRegistryKey::SetBytes(const WideString& name, DWORD type, const void* data, DWORD size) {
    return ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool TestRegistryKey::SetString(const WideString& name, const WideString& text) {
    return SetBytes(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool TestRegistryKey::SetDword(const WideString& name, DWORD value) {
    return SetBytes(name, REG_DWORD, &value, sizeof(value));
}

bool TestRegistryKey::DeleteValue(const WideString& name) {
    return ::RegDeleteValueW(key, name.c_str()) == ERROR_SUCCESS;
}
