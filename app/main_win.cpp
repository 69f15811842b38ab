#include <windows.h>

#include "app/Startup_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    return RunQrydesk(showCommand);
}
