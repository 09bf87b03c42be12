// Reads plain text lines of coordinate moves ("e2e4 e7e5 g1f3"), one game per
// line; '#' starts a comment that runs to the end of the line, and lines with
// no moves are ignored.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "book_game.h"

std::vector<GameRecord> readCoordinateGames(std::istream& in, const std::string& sourceName);
