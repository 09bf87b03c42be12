// Splitting a protocol line into words: the runs of characters between
// white space (space, tab and the other white-space characters). Every
// command of both protocols is read this way.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> splitWords(const std::string& line);

// The first word of the line (empty when there is none) and the index just
// past it, where the rest of the line begins.
std::string firstWord(const std::string& line, std::size_t& end);

// The line with its ASCII letters in lower case, for names read whatever
// their case.
std::string lowercase(std::string text);
