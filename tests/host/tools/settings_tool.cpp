// Test driver for settings files. Usage: settings_tool FILE COMMAND..., where
// each command is one of
//   get SECTION KEY DEFAULT   prints the value and a line feed
//   set SECTION KEY VALUE
//   delete SECTION KEY        prints "true" or "false"
//   save
// run in order on one TSetting (an empty SECTION is the default section). A
// file that could not be read is reported on standard error.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "host/widget/setting.h"

namespace {

int usage() {
    std::fputs("usage: settings_tool FILE [get S K DEFAULT | set S K VALUE | delete S K | save]...\n", stderr);
    return 2;
}

void print(const AnsiString& text) {
    std::fwrite(text.data(), 1, text.length(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    _setmode(_fileno(stdout), _O_BINARY);
    try {
        TSetting setting(argv[1]);
        if (!setting.loadError().empty()) std::fprintf(stderr, "%s\n", setting.loadError().c_str());
        for (int i = 2; i < argc;) {
            const char* command = argv[i];
            int left = argc - i - 1;
            if (std::strcmp(command, "get") == 0 && left >= 3) {
                print(setting.ReadValue(argv[i + 1], argv[i + 2], argv[i + 3]));
                i += 4;
            } else if (std::strcmp(command, "set") == 0 && left >= 3) {
                setting.WriteValue(argv[i + 1], argv[i + 2], argv[i + 3]);
                i += 4;
            } else if (std::strcmp(command, "delete") == 0 && left >= 2) {
                print(setting.DeleteValue(argv[i + 1], argv[i + 2]) ? "true" : "false");
                i += 3;
            } else if (std::strcmp(command, "save") == 0) {
                setting.Save();
                i += 1;
            } else {
                return usage();
            }
        }
        return 0;
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s: %s\n", error.className(), error.message().c_str());
        return 1;
    }
}
