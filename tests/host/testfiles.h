// Files for the host tests: a private folder under the Windows temporary
// folder (removed with its contents afterwards), byte-exact reading and
// writing, and the paths of the test data and sample widgets under Wine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rtl/ansistring.h"

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const AnsiString& path() const { return path_; }  // ends with a back-slash
    AnsiString file(std::string_view name) const { return path_ + name; }
    std::vector<AnsiString> names() const;  // the entries of the folder, sorted

private:
    AnsiString path_;
};

void writeBytes(const AnsiString& path, std::string_view bytes);
std::string readBytes(const AnsiString& path);
// A path below tests/host/ (given with '/'), as Windows sees it.
AnsiString testPath(std::string_view relative);
// The files of a folder that match a mask ("*.xml"), sorted.
std::vector<AnsiString> filesMatching(const AnsiString& folder, const char* mask);
