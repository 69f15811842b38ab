#include <gtest/gtest.h>

#include "app/Startup_win.h"
#include "toolkit/Application_win.h"

// The tests run inside the program's own start-up: modules initialised, COM and the common
// controls ready, as before the main window is created.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    InitializeModules();
    Application.Initialize();
    int result = RUN_ALL_TESTS();
    Application.Finalize();
    return result;
}
