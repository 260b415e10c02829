#pragma once
#include <windows.h>
#include "base/Strings.h"

// The open dialog for the text export: folder comes in as the proposed folder and goes out
// as the chosen path. True when the user confirmed a file, and also when the dialog itself
// failed (not a cancel): folder is then empty, so the file cannot be created and the export
// says so.
bool ChooseFile(HWND owner, WideString& folder, const WideString& fileName, const WideString& title);

// The save dialog for a CSV file: filter "CSV (*.csv)", the question before an existing
// file is replaced. ChooseFile's arguments and contract.
bool ChooseCsvFile(HWND owner, WideString& folder, const WideString& fileName, const WideString& title);
