// Splitting the program's command line into parameters, the way the start-up reads its first argument.
#pragma once

#include "fixed_text.h"

// Skips characters 1 to 32 and any pair of double quotes standing for an empty parameter.
const char* SkipBlanks(const char* position);
// The end of the parameter that starts at (or after blanks from) start; blanks inside quotes belong to it.
const char* ParamEnd(const char* start);
// Parameter n of commandLine (0 = the program as written, negative likewise), with one pair of enclosing
// double quotes removed; empty when there is no such parameter. Longer parameters are cut to the capacity.
void ExtractParam(const char* commandLine, int n, PathText& parameter);

// Parameter n of this process's command line; n = 0 gives the full path of the program's own file.
void GetParam(int n, PathText& parameter);
