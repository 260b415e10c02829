#pragma once
#include "base/Strings.h"
#include <windows.h>
#include <vector>

namespace mapisim {

// The modal "Choose Profile" dialog: a combo box of the profiles, OK and Cancel (Enter
// and Escape). Returns the index of the chosen profile, kDialogCancelled, or
// kDialogFailed when the dialog could not be shown.
constexpr int kDialogCancelled = -1;
constexpr int kDialogFailed = -2;
int ChooseProfile(HINSTANCE module, HWND parent, const std::vector<WideString>& profiles);

} // namespace mapisim
