#pragma once
#include <string>

// The program's text is UTF-16 throughout; 8-bit text appears only at the two borders,
// MAPI's 8-bit string properties and the export file. Both types are counted, may hold
// embedded zeros, and keep a terminating zero after their count, so data() can be handed
// to wide-character calls as it is.
using WideString = std::wstring;
using ByteString = std::string;
