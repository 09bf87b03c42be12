// Opening the data files the engine reads at start-up (the opening books and
// the piece-square tables). The engine runs without any of them, so a missing
// file is normal and passes in silence; a file that is there but cannot be
// used is reported on standard error, which the GUI may log, while standard
// output stays the protocol's.
#pragma once

#include <cstdio>
#include <string>

// Opens the file when it is a regular one. Anything else of that name is
// not opened: a FIFO would stop the start until some writer came, a
// directory or device is no data. Null when the file is missing (silently)
// or cannot be opened (reported); present, when given, tells the two apart.
std::FILE* openDataFile(const char* name, const char* mode, bool* present = nullptr);

// Reports what is wrong with a data file in one line on standard error.
void reportDataFile(const char* name, const std::string& problem);
