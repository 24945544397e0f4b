// Folder helpers over the ANSI file functions: existence, creation of a whole
// path, file sizes, listings by attribute, deletion through the shell (with
// the recycle bin) and the folder-browse dialog. Path delimiters are found
// double-byte aware, so "表" (95 5C) never ends a folder name early. Used by
// the Directory and File objects, the system dialogs and the host.
#pragma once

#include <windows.h>

#include <cstdint>

#include "rtl/ansistring.h"
#include "rtl/codepage.h"
#include "rtl/exceptions.h"
#include "rtl/stringlist.h"

RTL_EXCEPTION(EInOutError, Exception);

// The path with a trailing "\" added when missing, and without it; a trail
// byte 0x5C is no delimiter.
AnsiString withTrailingBackslash(const AnsiString& path);
AnsiString withoutTrailingBackslash(const AnsiString& path);
// The full path, in the network form when it lies on a mapped drive.
AnsiString expandUncFileName(const AnsiString& path);
// Whether the directory search with the attribute mask returns an entry:
// unless it is hidden, system, a volume label or a folder and the mask lacks
// that bit (read-only and archive never exclude).
bool matchesAttributeMask(DWORD attributes, DWORD mask);

bool DirExists(const AnsiString& path);
inline bool IsDirectory(const AnsiString& path) { return DirExists(path); }

// Creates the folder and every missing parent; true when the folder exists
// afterwards. An empty path raises EInOutError "Cannot Create Dir".
bool ForceDirs(const AnsiString& path);

// Size of the first non-folder entry that path finds; 0 when none.
uint64_t GetFileSizeByName(const AnsiString& path);

// What ListDirectory asks the directory search for.
enum TListKind { lkFiles = 1, lkDirectories = 2, lkVolumeLabel = 3, lkEverything = 4 };

// Lists dir (a folder; otherwise nothing happens) with the mask ("*.*" when
// empty): files receive every entry that is neither a folder nor the volume
// label, dirs (when given) every sub-folder but "." and "..", each as the
// folder path with its back-slash plus the name. Both lists are cleared first.
// As with the platform's search, entries without special attributes are found
// whatever the kind.
void ListDirectory(const AnsiString& dir, const AnsiString& mask, int kind, TStrings* dirs, TStrings& files);
void ListSubDirectories(const AnsiString& dir, TStrings& dirs);

// Deletes the paths (expanded to full, network-form paths) in one shell
// operation; to the recycle bin when asked, without any dialog when silently.
// True when the shell reports success; nothing happens for no paths.
bool ShellDeleteFiles(HWND owner, const TStrings& paths, bool toRecycleBin, bool silently);
// Deletes the folder itself, or everything in it, through ShellDeleteFiles.
void ClearDirectory(HWND owner, const AnsiString& dir, bool toRecycleBin, bool silently, bool itself);

// The shell's folder browser (file-system folders only), starting at folder
// when that is an existing folder and rooted at root when given. True with
// the chosen path in folder.
bool ShowFolderDialog(HWND owner, const AnsiString& title, const WideString& root, AnsiString& folder);
