// The file finder's pieces that need no window: matching a file name against
// one of its masks ("*.xml"). Used by the widget-folder search of the menus.
#pragma once

#include "rtl/ansistring.h"

// Whether the name matches the mask, both taken without case. Each is split at
// its last "." into a base and an extension, and an empty base never matches;
// "*" and "*.*" match every other name. Otherwise base matches base and
// extension matches extension: "?" is any one character, a final "*" the
// rest, and a "*" with text after it matches when that text, up to another
// "*", ends the name part after what came before the "*".
bool matchesMask(const AnsiString& name, const AnsiString& mask);
