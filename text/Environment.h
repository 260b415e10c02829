#pragma once
#include "base/Strings.h"

// The text with its %VARIABLE% references expanded; the text itself when that fails.
WideString ExpandEnvironment(const WideString& text);
// The running executable's path, or its folder with the trailing backslash (folderOnly).
WideString GetModuleFolder(bool folderOnly);
