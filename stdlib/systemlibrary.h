// The system library's script classes: RegisterExtObjects registers the
// fourteen constructors in their fixed order ("File", "Directory", "Strings",
// "Win32", "Ini", "CRC", "Base64", "Dialog", "Mutex", "Keyboard", "Mouse",
// "Clipboard", "RegIni", "StringBuffer"). Programs install it in the
// components' system-library slot through InstallStandardLibraries
// (libraries/standard.h).
#pragma once

class TJRuntime;

void RegisterExtObjects(TJRuntime& runtime);
