// The end of every full generation: material totals and the game status.
#pragma once

#include "board/rules.h"

// Stores the material of both sides (indexed by colour: 0 Black, 1 White)
// and the status, repetitions of the earlier positions included; moves are
// the pseudo-legal moves just listed.
void finishMaterialAndStatus(Position& position, const MoveList& moves, const int pieces[2], const int counts[2],
                             const int values[2], const bool heavy[2], const Rules& rules, EarlierPositions earlier);

// Whether any of the pseudo-legal moves is legal.
bool hasLegalMove(const Position& position, const MoveList& moves, const Rules& rules);
