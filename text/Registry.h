#pragma once
#include <windows.h>
#include "base/Strings.h"

// Reads one registry value as UTF-16 text in the named view; defaultText on any failure.
WideString ReadRegistryString(HKEY root, const WideString& subKey, const WideString& valueName,
                              const WideString& defaultText, bool view64);
