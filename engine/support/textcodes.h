// Japanese text codes: detection of JIS (ISO-2022-JP), EUC-JP and Shift-JIS
// (code page 932) and conversion between them, half-width katakana included.
// Used by the String object, the Base64 object's header coding and the mail
// client. Every routine takes and returns byte strings.
#pragma once

#include "rtl/ansistring.h"

// Results of DetectJapaneseCode and targets of ConvertJapaneseCode.
enum : int {
    jcASCII = 0,
    jcBinary = 1,
    jcJISNew = 2,   // ESC $ B
    jcJISOld = 3,   // ESC $ @
    jcEUC = 4,
    jcSJIS = 5,
    jcEUCOrSJIS = 6,
};

int DetectJapaneseCode(const AnsiString& text);
// Converts to jcJISNew, jcEUC or jcSJIS from the detected code; text of an
// undecided, binary or plain-ASCII code, or any other target, comes back as is.
AnsiString ConvertJapaneseCode(const AnsiString& text, int target);

AnsiString JisToEuc(const AnsiString& text);
AnsiString JisToSjis(const AnsiString& text);
// The JIS writers leave two-byte mode open at the end of the text.
AnsiString EucToJis(const AnsiString& text);
AnsiString SjisToJis(const AnsiString& text);
AnsiString EucToSjis(const AnsiString& text);
AnsiString SjisToEuc(const AnsiString& text);
