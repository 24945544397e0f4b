// The hook slots, empty until their modules fill them.
#include "engine/core/hooks.h"

TJModuleHooks JModuleHooks;
TJEngineHooks JEngineHooks;
TJGlobalHooks JGlobalHooks;
TJLibraryRegistrar JLibraryRegistrars[lsSlotCount] = {};

HWND GetAppWindow() {
    return JGlobalHooks.AppWindow ? JGlobalHooks.AppWindow() : nullptr;
}
