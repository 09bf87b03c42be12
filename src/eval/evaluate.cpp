// The evaluation entry: the contract every evaluator shares (game status,
// the material cut-off against the search window, the final combination and
// its sign) and the choice of evaluator by game phase.
#include "eval/evaluate.h"

#include "eval/evaluators.h"

namespace {

// A material balance this far outside the window cannot be brought back by
// positional terms, so the window bound is returned without looking further.
constexpr int lazyMargin = 1500;

PositionalSums positionalSums(const EvalContext& context, int phase, Position& position, const MoveList& moves) {
    switch (phase) {
        case 0:
        case 1: return openingEvaluation(context, position, moves);
        case 2: return middlegameEvaluation(context, position, moves);
        case 3: return endgameEvaluation(context, position);
        default: return bareKingEvaluation(position);
    }
}

}  // namespace

int Evaluator::evaluate(Position& position, int* statusOut, const MoveList& moves, int alpha, int beta,
                        const Rules& rules) const {
    const int status = position.status();
    if (statusOut) *statusOut = status;
    if (status == Checkmate) return mateScore;
    if (status >= Stalemate) return 0;

    const int whiteBalance = position.whiteMaterialValue - position.blackMaterialValue;
    const bool whiteToMove = position.sideToMove == WHITE;
    if (lazyEvaluation) {
        const int balance = whiteToMove ? whiteBalance : -whiteBalance;
        if (balance + lazyMargin < alpha) return alpha;
        if (balance - lazyMargin > beta) return beta;
    }

    const PositionalSums sums = positionalSums({*this, rules}, gamePhase(position), position, moves);
    const int whiteScore = whiteBalance + sums.white - sums.black;
    return whiteToMove ? whiteScore : -whiteScore;
}
