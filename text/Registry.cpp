#include <vector>
#include "base/ScopedWin.h"
#include "text/Registry.h"

WideString ReadRegistryString(HKEY root, const WideString& subKey, const WideString& valueName,
                              const WideString& defaultText, bool view64) {
    const REGSAM access = KEY_QUERY_VALUE | (view64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
    ScopedRegKey key;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, access, key.Receive()) != ERROR_SUCCESS)
        return defaultText;
    DWORD size = 0;
    ::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, nullptr, nullptr, &size);
    if (size == 0)
        return defaultText;
    std::vector<wchar_t> buffer(static_cast<size_t>(size) + 1, L'\0');
    DWORD read = size;
    // A value that grew or vanished since the size query fails here: that is no text.
    if (::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, nullptr,
                           reinterpret_cast<BYTE*>(buffer.data()), &read) != ERROR_SUCCESS)
        return defaultText;
    const size_t units = (static_cast<size_t>(read) + 1) / sizeof(wchar_t);
    size_t length = 0;
    while (length < units && buffer[length] != L'\0')
        ++length;
    return WideString(buffer.data(), length);
}
