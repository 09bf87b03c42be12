// Turns the encoded game lines of one colour into the text of a book file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The engine holds at most 50000 lines per book. Each file ends with one
// empty line (see writeBookFile), so at most 49999 game lines go in.
constexpr std::size_t maxBookLines = 49999;

// Cuts every line back to its longest prefix (in whole moves) that at least
// minGames of the lines share, so that a move played in fewer games is not
// kept. Lines left empty are dropped; the rest come back sorted. With
// minGames 1 every line is kept whole.
std::vector<std::string> keepSharedPrefixes(const std::vector<std::string>& lines, int minGames);

// When there are more lines than the limit, lowers the weight (the number of
// copies) of every distinct line in proportion, rounding down, so the
// frequent lines keep their shares and the rarest drop out. Sorted input in,
// sorted output out.
std::vector<std::string> limitLineCount(const std::vector<std::string>& sortedLines, std::size_t limit);

// Writes the lines, each ended by a line break, and then one empty line: the
// engine never consults the last line it loads, and an empty line is never a
// candidate anyway, so every game line counts. An empty book is an empty
// file. Returns false and says why in error when the file cannot be written.
bool writeBookFile(const std::string& path, const std::vector<std::string>& lines, std::string& error);
