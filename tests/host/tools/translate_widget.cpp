// Test driver: writes the script text of a widget file to standard output, as
// bytes. Usage: translate_widget FILE. Exit code 1 with the message on
// standard error when the file cannot be translated.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "host/widget/widgetxml.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: translate_widget FILE\n", stderr);
        return 2;
    }
    try {
        TMyXMLParser parser;
        AnsiString text = parser.TranslateFile(argv[1]);
        _setmode(_fileno(stdout), _O_BINARY);
        std::fwrite(text.data(), 1, text.length(), stdout);
        return 0;
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s: %s\n", error.className(), error.message().c_str());
        return 1;
    }
}
