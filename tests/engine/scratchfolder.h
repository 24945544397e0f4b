// A fresh folder in the Windows temporary folder for tests that write files;
// removed with its files when the test ends.
#pragma once

#include <string>
#include <vector>

#include "rtl/ansistring.h"

class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder with a trailing back-slash.
    const AnsiString& path() const { return path_; }
    AnsiString file(const char* name) const { return path_ + name; }
    // Writes the bytes to the named file, replacing it.
    AnsiString write(const char* name, const std::string& bytes);
    // The sub-folder, created.
    AnsiString folder(const char* name);
    static std::string read(const AnsiString& path);

private:
    AnsiString path_;
    std::vector<AnsiString> folders_;
};
