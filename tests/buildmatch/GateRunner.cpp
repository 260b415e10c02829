// Runs the start-up gate as the program does and ends the same way: exit code 1 when the
// gate started the sibling flavour, 0 when start-up would carry on.
#include <windows.h>
#include "gui/GApplication.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const GApplication application;
    return application.EnsureMatchingBuild() ? 0 : 1;
}
