#include "app/Startup_win.h"

#include "app/DBXMain_win.h"
#include "base/Runtime_win.h"
#include "bidi/BiDiWin_win.h"
#include "toolkit/Application_win.h"

void InitializeModules() {
    InitializeRuntime();
    InitializeBiDiWin();
}

int RunQrydesk(int showCommand) {
    try {
        InitializeModules();
        Application.Initialize();
        {
            Window<TMainForm> form;
            MainForm = &form;
            Application.Run(form, showCommand);
            MainForm = nullptr;
        }
        Application.Finalize();
        return 0;
    } catch (...) {
        ShowLastChanceReport();
        return 1;
    }
}
