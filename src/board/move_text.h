// Moves as text in coordinate notation: the from-square, the to-square and,
// for a promotion, the letter of the piece (e2e4, e1g1, e7e8n).
#pragma once

#include <string>

#include "board/position.h"

constexpr bool isFileLetter(char c) { return c >= 'a' && c <= 'h'; }
constexpr bool isRankDigit(char c) { return c >= '1' && c <= '8'; }

// A move as the user or a GUI writes it.
struct Move {
    Square from = 0;
    Square to = 0;
    // What a promoting pawn becomes: the letter b, n or r, else a queen.
    uint8_t promotion = QUEEN;
};

// Reads a move; false when the text is not two real squares followed by at
// most one letter. Whether the move is legal is not asked here.
bool readCoordinateMove(const std::string& text, Move& move);

// "e2e4": the two squares only.
std::string moveText(Square from, Square to);

// The move as it is sent to a GUI: the two squares and, when a pawn promotes,
// the letter q (the engine's pawns always become queens).
std::string uciMove(const Position& position, Square from, Square to);
