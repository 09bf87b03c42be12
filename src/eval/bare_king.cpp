// The bare-king evaluator (phase 4): one side has nothing but its king. The
// stronger side must make progress, so pawns are pushed, the bishop pair is
// kept, and the lone king is rewarded for staying central, far from the
// other king and away from the corners where it can be mated; the search
// then drives it to the edge and into the right corner.
#include "eval/evaluators.h"
#include "eval/positional.h"

namespace {

struct BishopTally {
    int bishops = 0;
    bool lastOnLight = false;
};

// The weaker king's terms. Against king, bishop and knight (or bishop and
// three pawns) mate is only forced in a corner of the bishop's colour, so
// the defender is paid for its distance from those two corners.
int mopUp(Square king, Square strongerKing, int strongerCount, const BishopTally& strongerBishops) {
    int sum = 0;
    if (strongerCount == 26 && strongerBishops.bishops == 1) {
        const Square cornerA = strongerBishops.lastOnLight ? H1 : A1;
        const Square cornerB = strongerBishops.lastOnLight ? A8 : H8;
        const int toA = manhattanDistance(king, cornerA);
        const int toB = manhattanDistance(king, cornerB);
        sum += ((toA < toB ? toA : toB) * 1000) / 14;
    }
    sum += (manhattanDistance(king, strongerKing) * 1000) / 35;
    sum += centralisation(king, 21);
    return sum;
}

}  // namespace

PositionalSums bareKingEvaluation(const Position& p) {
    PositionalSums sums;
    BishopTally whiteBishops;
    BishopTally blackBishops;
    // The board is nearly empty here: only the squares with a piece are read.
    for (uint64_t occupied = occupiedSquares(p.board); occupied != 0;) {
        const Square s = popLowestSquare(occupied);
        const uint8_t piece = p.board[s];
        const uint8_t colour = colourOf(piece);
        const int kind = kindOf(piece);
        if (kind == PAWN) {
            int& sum = colour == WHITE ? sums.white : sums.black;
            sum += advancedPawnBonus(relativeRank(colour, s), true);
        } else if (kind == BISHOP) {
            BishopTally& bishops = colour == WHITE ? whiteBishops : blackBishops;
            ++bishops.bishops;
            bishops.lastOnLight = isLightSquare(s);
        }
    }
    if (whiteBishops.bishops > 1) sums.white += bishopPairBonus;
    if (blackBishops.bishops > 1) sums.black += bishopPairBonus;

    if (p.whiteMaterialCount < p.blackMaterialCount)
        sums.white += mopUp(p.whiteKingSquare, p.blackKingSquare, p.blackMaterialCount, blackBishops);
    if (p.blackMaterialCount < p.whiteMaterialCount)
        sums.black += mopUp(p.blackKingSquare, p.whiteKingSquare, p.whiteMaterialCount, whiteBishops);
    return sums;
}
