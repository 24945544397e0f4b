// The texts of the host's error boxes: a widget file that cannot be read shows
// the error's message alone, a script error the message and the numbered
// lines of the translated script around it. Used by the main form.
#pragma once

#include "rtl/ansistring.h"

// The caption of every error box of the host.
extern const char kErrorBoxCaption[];

// The message, an empty line, then up to three numbered lines of `source`
// around the 1-based `line`: the one before, the line and the one after; for
// the last line, the two before it and the last.
AnsiString scriptErrorText(const AnsiString& source, int line, const AnsiString& message);
