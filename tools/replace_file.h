// Writes a whole file under a temporary name and renames it into place, so a
// failed run never leaves a half-written file where the engine reads it.
#pragma once

#include <string>

// False (and error says why) when the file cannot be written.
bool replaceFile(const std::string& path, const std::string& bytes, std::string& error);
