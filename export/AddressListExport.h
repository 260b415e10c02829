#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <vector>
#include "base/Strings.h"

class AddressStore;

// Picks the export file, with ChooseFile's arguments and contract: folder comes in as the
// proposed folder and goes out as the chosen path; true when the user confirmed a file.
using FileChooser =
    std::function<bool(HWND owner, WideString& folder, const WideString& fileName, const WideString& title)>;

// Where both save dialogs start until the user has chosen a folder: the desktop.
WideString DefaultExportFolder();

// "Save to txt file": the user picks the file in the open dialog, and every entry of the
// store goes into it as a pipe-separated UTF-8 line, with progress in window's status bar.
// The message pump runs between batches, so the window stays responsive.
void ExportAddressList(AddressStore& store, HWND window);

// The whole export with the file dialog replaced by chooseFile. ExportAddressList is this
// with the platform's dialog; tests and benchmarks pass their own chooser.
void ExportAddressListWith(AddressStore& store, HWND window, const FileChooser& chooseFile);

// "Save as CSV file...": the user picks the file in the save dialog (chooseFile), starting in
// path, which goes out as the path chosen. The rows go in order's sequence of store indices
// (null: store order), as CSV, through a temporary file moved over the target at the end,
// so a failed or stopped save leaves the previous file as it was. Status texts are the pipe
// export's; progress comes after a batch of 100 entries at most every 50 ms, and the lines
// go out in 256 KiB writes. True when the user chose a file.
bool ExportCsvWith(AddressStore& store, HWND window, const std::vector<uint64_t>* order, WideString& path,
                   const FileChooser& chooseFile);
