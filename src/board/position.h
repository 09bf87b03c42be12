// The position record and the move list: the plain data every subsystem
// reads. A position is copied by value; there is no unmake.
#pragma once

#include <cstdint>

#include "board/types.h"

// The fields that describe the position itself. A child position needs only
// these from its parent before makeMove and the full move generation rebuild
// everything else, so the search copies just this part. The two material
// counts are derived, but they travel with the state because the next full
// generation reads them (through the game phase) before it recomputes them.
struct PositionState {
    uint8_t sideToMove = WHITE;
    // 0: no en passant; 1: the side to move may capture onto enPassantSquare.
    // 2 exists only inside makeMove, which counts a double push down to 1.
    uint8_t enPassantTimer = 0;
    uint8_t enPassantSquare = 0;
    int8_t whiteKingSquare = -1;
    int8_t blackKingSquare = -1;
    uint8_t whiteCastled = 0;
    uint8_t blackCastled = 0;
    uint8_t whiteKingsideBarred = 1;
    uint8_t whiteQueensideBarred = 1;
    uint8_t blackKingsideBarred = 1;
    uint8_t blackQueensideBarred = 1;
    int8_t halfmoveClock = 0;
    int16_t plyCount = 0;
    uint8_t pieceCount = 0;
    int16_t whiteMaterialCount = 0;
    int16_t blackMaterialCount = 0;
    // The move that led here; 255 after set-up.
    uint8_t lastFrom = 255;
    uint8_t lastTo = 255;
    uint64_t hashKey = 0;
    uint8_t board[64] = {};
};

// A full position: the state plus what the full move generation derives
// from it (material values, status, check, attack maps and pins).
struct Position : PositionState {
    int32_t blackMaterialValue = 0;
    int32_t whiteMaterialValue = 0;
    int8_t whiteStatus = Normal;
    int8_t blackStatus = Normal;
    uint8_t inCheck = 0;
    int8_t whiteAttacks[64] = {};
    int8_t blackAttacks[64] = {};
    int8_t pinned[64] = {};

    // The status as seen by the side to move.
    int status() const { return sideToMove == WHITE ? whiteStatus : blackStatus; }
    void setBothStatus(int8_t code) { whiteStatus = blackStatus = code; }
};

// Plays the child's leading fields over from its parent.
inline void copyState(Position& child, const Position& parent) {
    static_cast<PositionState&>(child) = parent;
}

inline void switchSide(Position& position) {
    position.sideToMove = position.sideToMove == WHITE ? BLACK : WHITE;
}

// A move is nothing but its two squares; the score is for move ordering.
struct MoveList {
    static constexpr int capacity = 256;

    int count = 0;
    uint8_t from[capacity];
    uint8_t to[capacity];
    int32_t score[capacity];

    // Never writes past the last entry: a set-up position stuffed with extra
    // pieces may have more pseudo-legal moves than the list holds.
    void append(Square f, Square t) {
        if (count < capacity) {
            from[count] = static_cast<uint8_t>(f);
            to[count] = static_cast<uint8_t>(t);
            score[count] = 0;
            ++count;
        }
    }
};
