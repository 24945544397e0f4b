// The command line of the program and of a second start: "-s" (any case,
// blanks around it) followed by a widget file. A second start expands its
// path against its own start folder and hands its parameters over as one
// block of bytes. Used by the main form and the single-instance start.
#pragma once

#include <string_view>
#include <vector>

#include "rtl/ansistring.h"

using TParameters = std::vector<AnsiString>;

// The words of a command line: separated by blanks and control characters,
// double quotes grouping blanks into a word and removed.
TParameters splitCommandLine(std::string_view line);
// The program's parameters 1 to n (its own name left out).
TParameters programParameters();
// The process's current folder, ending with a back-slash: what relative
// parameters are taken from.
AnsiString startFolder();

// The widget file the parameters name, empty when they name none: a path
// expanded against `startFolder`; without the exact extension ".xml" the
// same path with it, else the first "*.xml" of its folder; only a file that
// exists is given.
AnsiString widgetFromCommandLine(const TParameters& parameters, const AnsiString& startFolder);

// The parameters as a second start hands them over: a "-s" path expanded
// against the second start's own folder, the rest as they are.
TParameters handOverParameters(TParameters parameters, const AnsiString& startFolder);

// One block of bytes for the parameters (each ended by a NUL byte), and back.
AnsiString packParameters(const TParameters& parameters);
TParameters unpackParameters(std::string_view block);
