// The system library's script classes: RegisterExtObjects registers the
// fourteen constructors in their fixed order ("File", "Directory", "Strings",
// "Win32", "Ini", "CRC", "Base64", "Dialog", "Mutex", "Keyboard", "Mouse",
// "Clipboard", "RegIni", "StringBuffer"). A static library's initializers are
// dropped when nothing references them, so hosts install it explicitly in the
// components' system-library slot (engine/core/hooks.h):
//     JLibraryRegistrars[lsSystemLibrary] = &RegisterExtObjects;
#pragma once

class TJRuntime;

void RegisterExtObjects(TJRuntime& runtime);
