#pragma once
#include <windows.h>
#include "base/Strings.h"

// Plays the user at the export's file dialog, which may belong to another process: waits
// up to timeoutMs for the visible "Export results" dialog, types into its file-name field
// (unless typed is empty) and presses button. True when the dialog was found and answered.
bool AnswerExportDialog(const WideString& typed, int button, DWORD timeoutMs = 30000);
