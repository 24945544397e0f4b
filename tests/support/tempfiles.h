// Files for the unit tests: a private folder under the Windows temporary
// folder (removed with everything in it afterwards), byte-exact whole-file
// reading and writing, and the paths of a test's data under Wine.
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
    // Writes the bytes to the named file, replacing it; the file's path.
    AnsiString write(std::string_view name, std::string_view bytes) const;
    // Makes the named sub-folder; its path, ending with a back-slash.
    AnsiString folder(std::string_view name) const;
    std::vector<AnsiString> names() const;  // the entries of the folder, sorted

private:
    AnsiString path_;
};

void writeBytes(const AnsiString& path, std::string_view bytes);
std::string readBytes(const AnsiString& path);
// A path below the test's data folder (NIMBORA_TEST_DATA; given with '/'), as
// Windows sees it.
AnsiString testPath(std::string_view relative);
// The files of a folder that match a mask ("*.xml"), sorted.
std::vector<AnsiString> filesMatching(const AnsiString& folder, const char* mask);
