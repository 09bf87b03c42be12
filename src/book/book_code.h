// The books' square code: every square is written as one character, 48 plus
// the square's index (a1 '0', h8 'o'), and a move as its two squares.
#pragma once

#include <string>

#include "board/types.h"

constexpr char squareCode(Square s) { return static_cast<char>('0' + s); }
constexpr bool isSquareCode(char c) { return c >= '0' && c <= 'o'; }
constexpr Square codeSquare(char c) { return c - '0'; }

inline std::string encodeMove(Square from, Square to) { return {squareCode(from), squareCode(to)}; }
