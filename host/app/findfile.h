// The file finder of the widget-folder menus: matching a file name against one
// of its masks ("*.xml") and TFindFile, the recursive search that reports the
// files matching them. Used by the main form.
#pragma once

#include <windows.h>

#include "rtl/ansistring.h"
#include "rtl/component.h"
#include "rtl/datetime.h"
#include "rtl/stringlist.h"

// Whether the name matches the mask, both taken without case. Each is split at
// its last "." into a base and an extension, and an empty base never matches;
// "*" and "*.*" match every other name. Otherwise base matches base and
// extension matches extension: "?" is any one character, a final "*" the
// rest, and a "*" with text after it matches when that text, up to another
// "*", ends the name part after what came before the "*".
bool matchesMask(const AnsiString& name, const AnsiString& mask);

// ==== TFindFile ====

// One file found: its name, its folder (ending in a delimiter), the abort flag
// the handler may set, and the platform's record of it.
using TFindEvent = TEvent<void(TObject* Sender, const AnsiString& FileName, const AnsiString& FolderPath,
                               bool& Abort, const WIN32_FIND_DATAA& Data)>;

enum TCheckTimeIs : uint8_t { tmNone, tmOlder, tmNewer };
enum TCheckTimeKind : uint8_t { tmCreate, tmLastWrite, tmLastAccess };

// A depth-first search of a folder for files matching its masks. Symbolic
// links and other reparse points are never entered (a link to an ancestor
// would recurse without end), and a search started while one runs (from a
// handler, or from a message the search lets through) reports nothing.
class TFindFile : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TFindFile(TComponent* owner);

    AnsiString FolderName = "C:\\";
    TStringList FileMask;
    bool IsFindSub = true;
    TCheckTimeIs CheckTimeIs = tmNone;
    TCheckTimeKind CheckTimeKind = tmLastWrite;
    TDateTime CheckedTime;  // now at construction
    TFindEvent OnFind;

    // The number of files reported; -1 when FolderName is empty or a search
    // is already running.
    int Execute();

protected:
    ~TFindFile() override = default;

private:
    void search(AnsiString folder);
    bool wanted(const WIN32_FIND_DATAA& data) const;

    int Count_ = 0;
    bool Abort_ = false;
    bool Searching_ = false;
};
