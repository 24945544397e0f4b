// The error boxes' texts.
#include "host/app/errorbox.h"

#include "rtl/numtext.h"
#include "rtl/stringlist.h"

const char kErrorBoxCaption[] = "Nimbora Error";

AnsiString scriptErrorText(const AnsiString& source, int line, const AnsiString& message) {
    TStringList lines;
    lines.SetText(source);
    const int count = lines.Count();
    if (line > count) line = count;
    int start = line == count ? line - 3 : line - 2;
    if (start < 0) start = 0;
    AnsiString text = message + "\r\n\r\n";
    for (int k = start; k < start + 3 && k < count; ++k) text += intToText(k + 1) + ": " + lines.Get(k) + "\r\n";
    return text;
}
