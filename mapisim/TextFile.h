#pragma once
#include "text/Strings.h"

namespace mapisim {

ByteString ToUtf8(const WideString& text);
WideString FromUtf8(const ByteString& text);
// The whole file as bytes; false when it cannot be read.
bool ReadWholeFile(const WideString& path, ByteString& bytes);
// Replaces the file; false when it cannot be written.
bool WriteWholeFile(const WideString& path, const ByteString& bytes);

} // namespace mapisim
