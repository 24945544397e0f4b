// File path pieces on code page 932 text, where a trail byte 0x5C is part of a
// character and not a back-slash, and the file tests. Used wherever a path is
// taken apart: script files, settings files, the file and directory objects.
#pragma once

#include "rtl/ansistring.h"

// The folder part of a path, with its trailing '\', '/' or ':'; empty when the
// path names no folder.
AnsiString fileFolder(const AnsiString& path);
// The last name of the path (after the folder part).
AnsiString extractFileName(const AnsiString& path);
// The extension of the path's last name, with its '.'; empty when it has none.
AnsiString fileExtension(const AnsiString& path);
// The path with its last name's extension replaced (or added).
AnsiString changeFileExt(const AnsiString& path, const AnsiString& extension);
// The full form of the path; the path itself when the platform cannot expand it.
AnsiString expandFileName(const AnsiString& path);
// The full form of the path taken from `folder` instead of the current folder:
// a relative path is appended to it, a path from the root ("\x") keeps its
// drive; absolute and drive-relative ("C:x") paths expand as they stand.
AnsiString expandFileNameFrom(const AnsiString& path, const AnsiString& folder);
// The drive a path starts with: "C:" or "\\server\share"; empty when none.
AnsiString extractFileDrive(const AnsiString& path);
// The path of `target` from the folder of `base` (a folder ending in its
// delimiter, or a file in it): "..\" for each folder to leave, then the rest
// of target's path; `target` itself when the two lie on different drives.
AnsiString extractRelativePath(const AnsiString& base, const AnsiString& target);
// Whether two paths name one file as the file system compares names (no case).
bool sameFileName(const AnsiString& a, const AnsiString& b);
// Whether the system would take the path for another (keepsWideForm): one
// holding a NUL names the file of its part before it, one ending in a lone
// lead byte the file without it.
bool namesAnotherPath(const AnsiString& path);
// Whether the path names an existing file (not a folder); never one that
// names another.
bool fileExists(const AnsiString& path);
