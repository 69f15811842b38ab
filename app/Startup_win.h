#pragma once

// Every module's load-time initialisation, in order: the run-time's locale facts, then the
// language environment (which may prepare the Hebrew environment). Runs before any window.
void InitializeModules();

// The whole program: start-up, the main window's message loop, shut-down. Returns the
// process exit code: 0 after a normal end, 1 after a start-up failure.
int RunQrydesk(int showCommand);
