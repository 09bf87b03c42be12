// Picking and sorting scored move lists, best score first.
#pragma once

#include "board/position.h"
#include "search/root_moves.h"

// Brings the best-scored move among entries i..count-1 to entry i; of equal
// scores the earliest wins, so equal moves keep their list order.
void pickNextMove(int i, MoveList& moves);

// Quicksort of entries first..last, highest score first; not stable.
void sortMoves(MoveList& moves, int first, int last);
// The same over the root list, carrying each move's line along.
void sortRootMoves(RootMoveList& root, int first, int last);
