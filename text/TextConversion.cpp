#include <climits>
#include "text/TextConversion.h"

// Both conversions size in a first pass and convert in a second, with flags 0: invalid
// input is replaced by the platform, never rejected.
ByteString WideToMultiByte(const WideString& text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX)
        return ByteString();
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return ByteString();
    ByteString result(static_cast<size_t>(needed), '\0');
    const int written =
        ::WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return result;
}

void AppendUtf8(ByteString& out, const WideString& text) {
    // A UTF-16 unit takes at most three bytes of UTF-8: with that much room there is no
    // sizing pass.
    if (text.empty() || text.size() > INT_MAX / 3) {
        out.append(WideToMultiByte(text, CP_UTF8));
        return;
    }
    const size_t used = out.size();
    out.resize(used + text.size() * 3);
    const int written = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                              &out[used], static_cast<int>(text.size() * 3), nullptr, nullptr);
    out.resize(used + (written > 0 ? static_cast<size_t>(written) : 0));
}

WideString MultiByteToWide(std::string_view bytes, UINT codePage) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return WideString();
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0)
        return WideString();
    WideString result(static_cast<size_t>(needed), L'\0');
    const int written = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, result.data(), needed);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return result;
}

WideString FormatUnsigned(uint64_t value) {
    wchar_t digits[21];
    wchar_t* end = digits + 20;
    wchar_t* p = end;
    do {
        *--p = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return WideString(p, end);
}
