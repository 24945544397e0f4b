// The slots of the script libraries, filled in their fixed order.
#include "libraries/standard.h"

#include "bridge/caster.h"
#include "engine/core/hooks.h"
#include "net/netlibrary.h"
#include "stdlib/automation.h"
#include "stdlib/dynacall.h"
#include "stdlib/systemlibrary.h"

void InstallStandardLibraries() {
    JLibraryRegistrars[lsSystemLibrary] = &RegisterExtObjects;
    JLibraryRegistrars[lsNetwork] = &RegisterSocketObjects;
    JLibraryRegistrars[lsAutomation] = &RegisterActiveXObjects;
    JLibraryRegistrars[lsDynaCall] = &RegisterDynaCallObjects;
    InstallGUIBridge();
}
