// The program configuration's list of loaded widgets: the keys "widget1",
// "widget2", ... of its default section, each a widget file relative to the
// program folder. Read at start, rewritten at exit.
#pragma once

#include <vector>

#include "host/widget/setting.h"
#include "rtl/ansistring.h"

// The widget files to load, up to the first missing or empty key: a relative
// value taken from the program folder, an absolute one as it stands.
std::vector<AnsiString> storedWidgets(const TSetting& configuration, const AnsiString& programFolder);

// Deletes "widget1", "widget2", ... up to the first key that does not exist,
// then writes one key per script file name in order, relative to the program
// folder (a file on another drive stays absolute).
void storeWidgets(TSetting& configuration, const AnsiString& programFolder, const std::vector<AnsiString>& widgets);
