// The root search's bookkeeping: each root move's principal variation, the
// moves completed in the current iteration, and the stack of moves that
// raised alpha on the way down.
#pragma once

#include <cstdint>
#include <vector>

#include "board/position.h"

// The line of one root move, ply by ply.
struct PvLine {
    static constexpr int capacity = 20;
    int32_t length = 0;
    uint8_t from[capacity] = {};
    uint8_t to[capacity] = {};
};

struct RootMoveList {
    MoveList moves;
    PvLine lines[MoveList::capacity];
};

// Root moves completed in this iteration, in the order they completed.
struct RootResults {
    int count = 0;
    uint8_t from[MoveList::capacity];
    uint8_t to[MoveList::capacity];
    int32_t score[MoveList::capacity];

    void append(int f, int t, int s) {
        if (count < MoveList::capacity) {
            from[count] = static_cast<uint8_t>(f);
            to[count] = static_cast<uint8_t>(t);
            score[count] = s;
            ++count;
        }
    }
};

// A move kept on the principal-variation stack, with the ply it was made at.
struct PvNode {
    int32_t searchPly;
    uint8_t from;
    uint8_t to;
};

// Every release frees the nodes above a remembered height, so a growable
// array serves as the stack; its storage is kept from search to search.
using PvStack = std::vector<PvNode>;
