// The switches and parameters of the search, fixed when the engine is built.
#pragma once

#include "board/types.h"

struct SearchSettings {
    bool useHashTable = true;
    bool usePvs = true;      // null-window search of moves after one raised alpha
    bool useCutoffs = true;  // beta cut-offs
    bool useNullMove = true;
    bool useQuiescence = true;        // capture search at the horizon
    bool useFutility = true;          // at depth 1
    bool useExtendedFutility = true;  // at depth 2
    bool useCheckExtension = true;
    bool usePawnExtension = true;  // a pawn stepping onto the seventh rank
    bool useHistory = true;
    int nullMoveMinIndex = 1;              // no null move after the parent's first move
    int nullMoveReduction[3] = {2, 2, 0};  // by game phase 0, 1, 2; 0 = none
    int futilityMargin = 3;                // pawns, depth 1
    int extendedFutilityMargin = 7;        // pawns, depth 2
    int maxExtensions = 5;                 // per line from the root
    int hashMinDepth = 1;
    int quiescenceDepth = 50;
    int quiescenceMaxMoves = 40;
    bool useDeltaPruning = true;
    bool useRootLineBonus = true;  // favour the previous iteration's line
};

// The result of every search routine.
enum SearchStatus { Completed = 1, MoveNow = 2, TimeUp = 3, Aborted = 4 };

constexpr int noScore = 999999999;  // no previous root score yet
