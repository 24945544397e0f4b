// File path pieces on code page 932 text, where a trail byte 0x5C is part of a
// character and not a back-slash, and the file test. Used by the XML document's
// save, the settings file and the widget translator.
#pragma once

#include "rtl/ansistring.h"

// The folder part of a path, with its trailing '\', '/' or ':'; empty when the
// path names no folder.
AnsiString fileFolder(const AnsiString& path);
// The extension of the path's last name, with its '.'; empty when it has none.
AnsiString fileExtension(const AnsiString& path);
// Whether the path names an existing file (not a folder).
bool fileExists(const AnsiString& path);
