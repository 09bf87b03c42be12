#include "eval/phase.h"

#include "engine/engine.h"

// 0 and 1 are the opening (1 once the first dozen moves are played or some
// material has gone), 2 the middle game, 3 the endgame and 4 a side with a
// bare king.
int Engine::gamePhase(const Position& position) const {
    const int w = position.whiteMaterialCount;
    const int b = position.blackMaterialCount;
    if (w > 44 && b > 44 && position.plyCount <= 24) return 0;
    if (w > 37 && b > 37) return 1;
    if (w > 26 && b > 26) return 2;
    if (w > 20 && b > 20) return 3;
    return 4;
}
