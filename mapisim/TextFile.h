#pragma once
#include "base/Strings.h"

#include <string>

namespace mapisim {

// Walks a UTF-8 text line by line: a leading byte order mark is passed over, and a line
// ends at LF, with a CR before it dropped.
class LineReader {
public:
    explicit LineReader(const std::string& text);
    bool Next(std::string& line);
    // The number of the line Next gave last, counted from 1.
    size_t Number() const { return number; }

private:
    const std::string& text;
    size_t start;
    size_t number = 0;
};

ByteString ToUtf8(const WideString& text);
WideString FromUtf8(const ByteString& text);
// The whole file as bytes; false when it cannot be read.
bool ReadWholeFile(const WideString& path, ByteString& bytes);
// Replaces the file; false when it cannot be written.
bool WriteWholeFile(const WideString& path, const ByteString& bytes);

} // namespace mapisim
