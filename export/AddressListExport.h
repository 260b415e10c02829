#pragma once
#include <windows.h>
#include <functional>
#include "gui/GApplication.h"
#include "text/Strings.h"

class AddressStore;

// Picks the export file, with ChooseFile's arguments and contract: folder comes in as the
// proposed folder and goes out as the chosen path; true when the user confirmed a file.
using FileChooser =
    std::function<bool(HWND owner, WideString& folder, const WideString& fileName, const WideString& title)>;

// The whole export with the file dialog replaced by chooseFile. ExportAddressList is this
// with the platform's dialog; tests and benchmarks pass their own chooser.
void ExportAddressListWith(const GApplication& app, AddressStore& store, HWND window,
                           const FileChooser& chooseFile);
