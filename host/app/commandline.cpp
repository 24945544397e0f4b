// Command-line rules of the widget host.
#include "host/app/commandline.h"

#include <windows.h>

#include "engine/support/mbstring.h"
#include "rtl/filepath.h"

namespace {

bool namesWidget(const TParameters& parameters) {
    return parameters.size() >= 2 && lowerCaseAscii(trimText(parameters[0])) == "-s";
}

// The first "*.xml" entry of the folder as the platform lists it, or empty.
AnsiString firstXmlFile(const AnsiString& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.xml").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    FindClose(search);
    return folder + found.cFileName;
}

}  // namespace

AnsiString widgetFromCommandLine(const TParameters& parameters, const AnsiString& startFolder) {
    if (!namesWidget(parameters)) return {};
    AnsiString path = expandFileNameFrom(parameters[1], startFolder);
    if (fileExtension(path) != ".xml") {
        path = changeFileExt(path, ".xml");
        if (!fileExists(path)) {
            AnsiString first = firstXmlFile(fileFolder(path));
            if (!first.empty()) path = first;
        }
    }
    return fileExists(path) ? path : AnsiString();
}

TParameters handOverParameters(TParameters parameters, const AnsiString& startFolder) {
    if (namesWidget(parameters)) parameters[1] = expandFileNameFrom(parameters[1], startFolder);
    return parameters;
}

AnsiString packParameters(const TParameters& parameters) {
    AnsiString block;
    for (const AnsiString& parameter : parameters) {
        block += parameter;
        block += '\0';
    }
    return block;
}

TParameters unpackParameters(std::string_view block) {
    TParameters parameters;
    for (size_t start = 0, end; (end = block.find('\0', start)) != std::string_view::npos; start = end + 1)
        parameters.emplace_back(block.substr(start, end - start));
    return parameters;
}

TParameters splitCommandLine(std::string_view line) {
    TParameters words;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
        if (i >= line.size()) return words;
        AnsiString word;
        bool quoted = false;
        for (; i < line.size() && (quoted || static_cast<unsigned char>(line[i]) > ' '); ++i) {
            if (line[i] == '"') quoted = !quoted;
            else word += line[i];
        }
        words.push_back(word);
    }
}

TParameters programParameters() {
    TParameters words = splitCommandLine(GetCommandLineA());
    if (!words.empty()) words.erase(words.begin());
    return words;
}

AnsiString startFolder() {
    char folder[MAX_PATH];
    AnsiString path(folder, GetCurrentDirectoryA(MAX_PATH, folder));
    return path.empty() || path.endsWith("\\") ? path : path + "\\";
}
