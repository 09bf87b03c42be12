// Reads PGN text into games of SAN moves. Tag pairs, comments ({...} and
// ;...), escape lines (%...), variations in parentheses, NAGs, move numbers,
// annotation marks and results are recognised and dropped; what remains are
// the main-line moves with the line each stands on.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "book_game.h"

std::vector<GameRecord> readPgnGames(std::istream& in, const std::string& sourceName);
