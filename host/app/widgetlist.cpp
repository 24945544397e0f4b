// The stored list of loaded widgets.
#include "host/app/widgetlist.h"

#include "rtl/filepath.h"
#include "rtl/numtext.h"

namespace {

AnsiString widgetKey(size_t n) {
    return "widget" + intToText(static_cast<long long>(n));
}

}  // namespace

std::vector<AnsiString> storedWidgets(const TSetting& configuration, const AnsiString& programFolder) {
    std::vector<AnsiString> widgets;
    for (size_t n = 1;; ++n) {
        AnsiString value = configuration.ReadValue(widgetKey(n), "");
        if (value.empty()) return widgets;
        widgets.push_back(expandFileNameFrom(value, programFolder));
    }
}

void storeWidgets(TSetting& configuration, const AnsiString& programFolder, const std::vector<AnsiString>& widgets) {
    for (size_t n = 1; configuration.DeleteValue(widgetKey(n)); ++n) {
    }
    for (size_t i = 0; i < widgets.size(); ++i)
        configuration.WriteValue(widgetKey(i + 1), extractRelativePath(programFolder, widgets[i]));
}
