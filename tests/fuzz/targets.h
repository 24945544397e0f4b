// The fuzz targets, one per input kind, each through the code a host runs:
// a script is compiled and run by an engine component; a compiled tree is
// read back with compiled trees on, beside a script it stands for, and run;
// a widget file is translated and the translation compiled; a settings file
// is loaded, written and saved, once with its backup name taken by a folder;
// a form stream is read into a form, which must then save and read back.
#pragma once

#include <windows.h>

#include <string>

#include "inputs.h"

class Targets {
public:
    // Works in the folder (with a trailing back-slash); a script is stopped
    // after scriptMilliseconds unless the input is checked.
    Targets(const std::string& folder, DWORD scriptMilliseconds);

    // Runs the input; false with what went wrong when a check failed: a
    // checked input that did not run cleanly, a broken settings file lost, a
    // saved setting that did not read back.
    bool run(const Input& input, std::string& failure);

private:
    DWORD scriptTime(const Input& input) const;
    bool script(const Input& input, std::string& failure);
    bool tree(const Input& input, std::string& failure);
    bool widget(const Input& input, std::string& failure);
    bool settings(const Input& input, std::string& failure);
    bool settingsKept(const std::string& bytes, std::string& failure);
    bool form(const Input& input, std::string& failure);

    std::string folder_;
    std::string settingsFolder_;
    DWORD scriptMilliseconds_;
};
