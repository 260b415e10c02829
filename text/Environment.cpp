#include "text/Environment.h"
#include <vector>
#include <windows.h>

WideString ExpandEnvironment(const WideString& text) {
    DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0)
        return text;
    // The environment may change between the sizing call and the expansion: size again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'\0');
        const DWORD used = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed + 1);
        if (used == 0)
            return text;
        if (used <= needed + 1)
            return WideString(buffer.data());
        needed = used;
    }
    return text;
}

WideString GetModuleFolder(bool folderOnly) {
    wchar_t path[261] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, 261);
    WideString result(path, length < 261 ? length : 260);
    if (!folderOnly)
        return result;
    const size_t slash = result.find_last_of(L'\\');
    return slash == WideString::npos ? WideString() : result.substr(0, slash + 1);
}
