// The position keys: one random 64-bit number per piece and square, drawn
// from the engine's random source, whose placement keys are XORed together.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "board/random.h"

struct HashKeys {
    // White pieces use rows 0-5, Black pieces rows 6-11, in kind order.
    uint64_t zobrist[12][64] = {};

    // Draws every key from the source, row by row; the source's later
    // values (the book's choices) follow on from there.
    void draw(Random& random);

    // Every move updates the position key with these.
    uint64_t pieceKey(uint8_t piece, Square s) const {
        const int kind = kindOf(piece);
        const int row = colourOf(piece) == WHITE ? kind - 1 : kind + 5;
        return zobrist[row][s];
    }

    // The key covers the piece placement only: side to move, castling and
    // en passant are compared separately by whoever needs them.
    uint64_t computeHashKey(const Position& position) const;
};
