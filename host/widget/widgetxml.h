// TMyXMLParser: translates a widget XML file into the script text that
// LoadWidget compiles and runs once: one block of statements per element that
// names a host object (widget, window, label, image, timer, setting, edit, web,
// menuItem), parents before children, then the widget's onload code.
#pragma once

#include "host/widget/xmldoc.h"
#include "rtl/ansistring.h"

class TMyXMLParser {
public:
    // The script text of the widget file. Raises EXmlError when the file is
    // missing or not well-formed. A widget that names a script makes the
    // widget's folder the process's current folder.
    AnsiString TranslateFile(const AnsiString& fileName);

private:
    AnsiString WalkElement(TXmlElement root);
    AnsiString EmitElement(TXmlElement element);
    AnsiString emitWidget(TXmlElement element, const AnsiString& id);

    AnsiString fileName_;
    AnsiString onload_;  // the widget's onload code, run after every element exists
};
