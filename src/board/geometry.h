// Where pieces can step from each square. The tables are built once from a
// 10x12 mailbox, whose border of off-board cells marks the edges, and keep
// the fixed direction orders the move generator relies on.
#pragma once

#include <cstdint>

#include "board/types.h"

// Queen order: the rook's east, west, north, south, then the bishop's
// north-east, south-west, south-east, north-west.
enum Direction { East, West, North, South, NorthEast, SouthWest, SouthEast, NorthWest };
constexpr int directionCount = 8;
constexpr int firstBishopDirection = NorthEast;

// Whether a piece of this kind slides along lines of this direction.
constexpr bool slidesAlong(int kind, int direction) {
    if (direction < firstBishopDirection) return kind == ROOK || kind == QUEEN;
    return kind == BISHOP || kind == QUEEN;
}

struct Ray {
    int8_t length = 0;
    uint8_t squares[7] = {};
    // The same squares as a set (bit s for square s), to find the pieces on
    // the ray without walking its empty squares.
    uint64_t squareSet = 0;
};

struct StepTargets {
    int8_t count = 0;
    uint8_t squares[8] = {};
    // The same squares as a set, which is all the attack counts need.
    uint64_t squareSet = 0;
};

struct Geometry {
    Ray rays[64][directionCount];
    StepTargets knightTargets[64];
    StepTargets kingTargets[64];
    // The two diagonal squares in front of a pawn, by colour index (0 Black,
    // 1 White); none from the last rank, which no pawn stands on.
    uint64_t pawnAttacks[2][64] = {};
    // Every square a rook or a bishop on the square could reach on an empty
    // board.
    uint64_t rookLines[64] = {};
    uint64_t bishopLines[64] = {};
    // The squares strictly between two squares on one line; none for squares
    // on no common line.
    uint64_t between[64][64] = {};
};

// Ascending directions list their squares from low to high numbers, so the
// nearest piece on such a ray is the lowest square of its set.
constexpr bool isAscending(int direction) {
    return direction == East || direction == North || direction == NorthEast || direction == NorthWest;
}

extern const Geometry boardGeometry;
