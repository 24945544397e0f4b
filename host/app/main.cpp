// The program's entry point: a later start hands its parameters to the running
// instance and ends; the first one makes the main form and runs the loop.
#include <windows.h>

#include "host/app/appinstances.h"
#include "host/app/mainform.h"
#include "libraries/standard.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Application->SetTitle("Nimbora");
    Application->SetHintHidePause(60000);
    InstallStandardLibraries();
    TParameters parameters = programParameters();
    try {
        auto* instances = new TAppInstances(nullptr, parameters);
        if (instances->HandedOver()) {
            instances->Free();
            return 0;
        }
        auto* form = new TMainForm(nullptr, instances, parameters);
        Application->Run();
        form->Free();
    } catch (...) {
        Application->HandleException(std::current_exception());
        return 1;
    }
    return 0;
}
