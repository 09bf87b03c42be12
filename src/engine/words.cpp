#include "engine/words.h"

#include <cctype>

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The word that starts at or after index begin: its bounds, or begin at the
// end of the line when there is none.
void nextWord(const std::string& line, std::size_t& begin, std::size_t& end) {
    while (begin < line.size() && isSpace(line[begin])) ++begin;
    end = begin;
    while (end < line.size() && !isSpace(line[end])) ++end;
}

}  // namespace

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::size_t begin = 0;
    std::size_t end = 0;
    for (nextWord(line, begin, end); begin < end; begin = end, nextWord(line, begin, end))
        words.push_back(line.substr(begin, end - begin));
    return words;
}

std::string firstWord(const std::string& line, std::size_t& end) {
    std::size_t begin = 0;
    nextWord(line, begin, end);
    return line.substr(begin, end - begin);
}

std::string lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
