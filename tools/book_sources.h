// Reads one book source file: PGN when its name ends in ".pgn" (in any
// case), plain lines of coordinate moves otherwise.
#pragma once

#include <string>
#include <vector>

#include "book_game.h"

// False (and error says why) when the file cannot be read.
bool readBookSource(const std::string& path, std::vector<GameRecord>& games, std::string& error);
