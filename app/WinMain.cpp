#include <windows.h>
#include "app/Startup.h"

// The command line is ignored.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return RunRostermint(instance, showCommand);
}
