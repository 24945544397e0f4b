// Script files on disk: reading a script or library file as text, finding a
// library file along the library folders, and the names and freshness test
// of the compiled-tree caches (".dmc") that the engine's file compiler keeps.
// Used by the parser (import) and by the engine (CompileFile).
#pragma once

#include "rtl/ansistring.h"
#include "rtl/filepath.h"
#include "rtl/stringlist.h"

// The name itself when that file exists, else the first folder (in list
// order) that holds a file with the name's file-name part.
bool findLibraryFile(const AnsiString& name, const TStrings& folders, AnsiString& path);
// The whole file as bytes; false when it cannot be opened or read.
bool readFileBytes(const AnsiString& path, AnsiString& bytes);

// The cache beside a script: its name with the extension ".dmc".
AnsiString compiledTreeName(const AnsiString& scriptPath);
// The cache in the system's temporary folder: the script's name, a hash of
// its full path (two scripts of one name in different folders never share a
// cache) and ".dmc".
AnsiString temporaryCompiledTreeName(const AnsiString& scriptPath);
// The cache exists and is not older than the script.
bool isCompiledTreeFresh(const AnsiString& treePath, const AnsiString& scriptPath);
