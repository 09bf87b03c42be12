// The opening books: one text file per colour of game lines from the start
// position, each move written in the square code. A move is chosen at
// random among the lines that continue the game, so a move that more lines
// follow is played proportionally more often.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/random.h"
#include "board/rules.h"

struct OpeningBook {
    // The lines of each colour's book, as read.
    std::vector<std::string> whiteBook;
    std::vector<std::string> blackBook;

    // Reads "blancas.ape" and "negras.ape" from the working directory; a
    // missing file leaves its book empty, what is wrong with a present one
    // is reported in one line on standard error.
    void loadBooks();

    // A weighted random continuation, drawn from the source, of the game
    // whose positions are game[0] to game[count - 1], from the book of the
    // side to move in current; 0 when the book has none.
    int chooseMove(const Position* game, int count, Position& current, const Rules& rules, Random& random,
                   uint8_t& from, uint8_t& to) const;
};
