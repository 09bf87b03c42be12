// The middle-game evaluator (phase 2): the opening evaluator's terms without
// its opening patterns, weighted by middlegameWeights.
#include "eval/evaluators.h"
#include "eval/positional.h"

PositionalSums middlegameEvaluation(const EvalContext& context, Position& position, const MoveList& moves) {
    PositionalEvaluation e(context, position, middlegameWeights);
    e.startSums();
    const int opponentMoves = e.addOpponentAttacks();
    e.scoreMobility(moves.count, opponentMoves);
    e.tallyKingZones();
    e.scanSquares();
    e.scoreBishopPairs();
    e.scoreSafety();
    e.scoreCastling();
    e.scoreFiles();
    e.scoreLoneBishops();
    e.scoreUndefended();
    e.scoreMaterialTrade();
    return e.sums();
}
