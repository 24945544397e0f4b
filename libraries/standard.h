// InstallStandardLibraries: the one set-up of the script libraries for a
// program - the program itself (host/app/main.cpp), the console runner
// (tests/runner/dmsrun.cpp) and the benches. Static libraries register
// nothing by themselves: every engine component made after this call gets the
// system library, the network, automation and DLL-call classes and the GUI
// bridge through the slots of engine/core/hooks.h.
#pragma once

// Once, on the GUI thread, before the first engine (the first one to register
// automation initialises COM on that thread).
void InstallStandardLibraries();
