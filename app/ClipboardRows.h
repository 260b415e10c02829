#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

class AddressStore;

// Puts the entries at the store indices, in that order, on the clipboard as tab-separated
// text (CF_UNICODETEXT) under a header row, the way spreadsheets paste it into columns: the
// lines of the TSV export format, without its byte order mark.
// False when the text could not be made or the clipboard not be taken; it then holds what
// it held before.
bool CopyRowsToClipboard(HWND owner, const AddressStore& store, const std::vector<uint64_t>& indices);
