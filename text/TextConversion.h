#pragma once
#include <windows.h>
#include <cstdint>
#include <string_view>
#include "base/Strings.h"

// Between UTF-16 and an 8-bit code page. Invalid input is replaced by the platform, never
// rejected; an empty result on any failure.
ByteString WideToMultiByte(const WideString& text, UINT codePage);
// Appends text as UTF-8 to out in one pass, without a string of its own: for a writer that
// converts line after line into one buffer.
void AppendUtf8(ByteString& out, const WideString& text);
// Takes a view, so 8-bit text that MAPI hands out is converted where it lies.
WideString MultiByteToWide(std::string_view bytes, UINT codePage);
// Plain decimal digits, no grouping: the counters and status texts show counts this way.
WideString FormatUnsigned(uint64_t value);
