// Registration of the system library's script classes, one line per class in
// the order scripts and stored settings rely on.
#include "stdlib/systemlibrary.h"

#include "engine/core/hooks.h"
#include "engine/core/runtime.h"
#include "stdlib/directoryobject.h"
#include "stdlib/fileobject.h"
#include "stdlib/ini.h"
#include "stdlib/stringbuffer.h"
#include "stdlib/strings.h"
#include "stdlib/sysobjects.h"

// The value conversions know StringBuffer objects, and native lists handed to
// scripts elsewhere (the network library's file searches and attachments)
// become StringLists, from the first registration on.
void RegisterExtObjects(TJRuntime& runtime) {
    JModuleHooks.StringBufferObject = &TJStringBufferObject::classInfo;
    JModuleHooks.FillStringListObject = &FillStringListObject;
    runtime.RegisterScriptClass("File", &TJFileObject::classInfo);
    runtime.RegisterScriptClass("Directory", &TJDirectoryObject::classInfo);
    runtime.RegisterScriptClass("Strings", &TJStringsObject::classInfo);
    runtime.RegisterScriptClass("Win32", &TJWin32Object::classInfo);
    runtime.RegisterScriptClass("Ini", &TJIniObject::classInfo);
    runtime.RegisterScriptClass("CRC", &TJCRCObject::classInfo);
    runtime.RegisterScriptClass("Base64", &TJBase64Object::classInfo);
    runtime.RegisterScriptClass("Dialog", &TJDialogObject::classInfo);
    runtime.RegisterScriptClass("Mutex", &TJMutexObject::classInfo);
    runtime.RegisterScriptClass("Keyboard", &TJKeyboard::classInfo);
    runtime.RegisterScriptClass("Mouse", &TJMouse::classInfo);
    runtime.RegisterScriptClass("Clipboard", &TJClipboard::classInfo);
    runtime.RegisterScriptClass("RegIni", &TJRegIniObject::classInfo);
    runtime.RegisterScriptClass("StringBuffer", &TJStringBufferObject::classInfo);
}
