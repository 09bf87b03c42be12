// The endgame evaluator (phase 3): the shared terms weighted by
// endgameWeights, plus an active king for the side with less material.
#include "eval/evaluators.h"
#include "eval/positional.h"

namespace {

// The side behind in material needs its king in the centre, where it can
// meet passed pawns and stay out of mating nets. Equal counts give nothing.
void scoreWeakerKingActivity(PositionalEvaluation& e) {
    const Position& p = e.position;
    if (p.whiteMaterialCount < p.blackMaterialCount) e.white.sum += centralisation(e.white.king, 28);
    if (p.blackMaterialCount < p.whiteMaterialCount) e.black.sum += centralisation(e.black.king, 28);
}

}  // namespace

PositionalSums endgameEvaluation(const EvalContext& context, Position& position) {
    PositionalEvaluation e(context, position, endgameWeights);
    e.startSums();
    // Mobility is not scored here, but the opponent's attack map is needed.
    e.addOpponentAttacks();
    e.tallyKingZones();
    e.scanSquares();
    e.scoreBishopPairs();
    e.scoreSafety();
    e.scoreCastling();
    scoreWeakerKingActivity(e);
    e.scoreFiles();
    e.scoreLoneBishops();
    e.scoreUndefended();
    e.scoreMaterialTrade();
    return e.sums();
}
