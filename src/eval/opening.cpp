// The opening evaluator (phases 0 and 1): the full set of terms, plus two
// patterns of the first moves.
#include "eval/evaluators.h"
#include "eval/positional.h"

namespace {

// An uncastled king on e1 with its rook on a1 and c2 unguarded invites a
// knight from b4 or d4 to c2, forking king and rook; worst when that knight's
// side is to move. Black's mirror uses c7, e8, a8, b5 and d5.
void scoreForkPattern(PositionalEvaluation& e, EvalSide& own) {
    const Position& p = e.position;
    const uint8_t colour = own.colour;
    const uint8_t enemy = opponentOf(colour);
    if (own.ownAttacks[relativeSquare(colour, C2)] != 0) return;
    if (own.king != relativeSquare(colour, E1)) return;
    if (p.board[relativeSquare(colour, A1)] != makePiece(ROOK, colour)) return;
    own.sum -= 33;
    const uint8_t enemyKnight = makePiece(KNIGHT, enemy);
    if (p.board[relativeSquare(colour, B4)] != enemyKnight && p.board[relativeSquare(colour, D4)] != enemyKnight)
        return;
    own.sum -= 83;
    if (p.sideToMove == enemy) own.sum -= 250;
}

// Early on the f-pawn guards the king's weakest square and the c-pawn keeps
// the queen's wing closed; both are better left at home.
void scoreHomePawns(PositionalEvaluation& e, EvalSide& own) {
    const uint8_t pawn = makePiece(PAWN, own.colour);
    if (e.position.board[relativeSquare(own.colour, F2)] == pawn) own.sum += 83;
    if (e.position.board[relativeSquare(own.colour, C2)] == pawn) own.sum += 27;
}

}  // namespace

PositionalSums openingEvaluation(const EvalContext& context, Position& position, const MoveList& moves) {
    PositionalEvaluation e(context, position, openingWeights);
    e.startSums();
    const int opponentMoves = e.addOpponentAttacks();
    e.scoreMobility(moves.count, opponentMoves);
    e.tallyKingZones();
    if (position.plyCount > 8) {
        scoreForkPattern(e, e.white);
        scoreForkPattern(e, e.black);
    }
    if (position.plyCount < 16) {
        scoreHomePawns(e, e.white);
        scoreHomePawns(e, e.black);
    }
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
