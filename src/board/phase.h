// The game phase, which chooses between the two sets of piece values:
// material is a property of the position, so both belong to the rules.
#pragma once

#include "board/position.h"

// 0 and 1 are the opening (1 once the first dozen moves are played or some
// material has gone), 2 the middle game, 3 the endgame and 4 a side with a
// bare king. It reads the material counts the position carries, which the
// next full generation recomputes.
inline int gamePhase(const PositionState& position) {
    const int w = position.whiteMaterialCount;
    const int b = position.blackMaterialCount;
    if (w > 44 && b > 44 && position.plyCount <= 24) return 0;
    if (w > 37 && b > 37) return 1;
    if (w > 26 && b > 26) return 2;
    if (w > 20 && b > 20) return 3;
    return 4;
}

// The piece values of a phase: the endgame's from phase 3 on.
inline const int* phasePieceValues(int phase) { return phase <= 2 ? middlegamePieceValues : endgamePieceValues; }
