// Registration of the system library's script classes, one line per class in
// the order scripts and stored settings rely on; a commented line marks the
// place of a class still to come.
#include "stdlib/systemlibrary.h"

#include "engine/core/runtime.h"
#include "stdlib/directoryobject.h"
#include "stdlib/fileobject.h"

void RegisterExtObjects(TJRuntime& runtime) {
    runtime.RegisterScriptClass("File", &TJFileObject::classInfo);
    runtime.RegisterScriptClass("Directory", &TJDirectoryObject::classInfo);
    // "Strings" TJStringsObject
    // "Win32" TJWin32Object
    // "Ini" TJIniObject
    // "CRC" TJCRCObject
    // "Base64" TJBase64Object
    // "Dialog" TJDialogObject
    // "Mutex" TJMutexObject
    // "Keyboard" TJKeyboard
    // "Mouse" TJMouse
    // "Clipboard" TJClipboard
    // "RegIni" TJRegIniObject
    // "StringBuffer" TJStringBufferObject
}
