// Listing every legal move of a position needs, for each pseudo-legal move,
// only whether the mover's king is safe afterwards. Looking outward from the
// king along the lines and the knight and pawn steps answers that at a
// fraction of the cost of the opponent's whole move generation.
#include "board/attacks.h"

#include "board/geometry.h"
#include "board/rules.h"

namespace {

const Geometry& geo = boardGeometry;

bool hasPieceOn(const Position& p, const StepTargets& targets, uint8_t piece) {
    for (int i = 0; i < targets.count; ++i)
        if (p.board[targets.squares[i]] == piece) return true;
    return false;
}

bool attackedByPawn(const Position& p, Square s, uint8_t byColour) {
    const uint8_t pawn = makePiece(PAWN, byColour);
    const int file = fileOf(s);
    if (byColour == WHITE) {
        // A white pawn attacks up the board: from one rank below.
        return (file != 7 && s >= 7 && p.board[s - 7] == pawn) || (file != 0 && s >= 9 && p.board[s - 9] == pawn);
    }
    return (file != 0 && s + 7 < 64 && p.board[s + 7] == pawn) || (file != 7 && s + 9 < 64 && p.board[s + 9] == pawn);
}

}  // namespace

bool isAttackedByKnightOrPawn(const Position& p, Square s, uint8_t byColour) {
    return hasPieceOn(p, geo.knightTargets[s], makePiece(KNIGHT, byColour)) || attackedByPawn(p, s, byColour);
}

bool isSquareAttacked(const Position& p, Square s, uint8_t byColour) {
    if (isAttackedByKnightOrPawn(p, s, byColour)) return true;
    if (hasPieceOn(p, geo.kingTargets[s], makePiece(KING, byColour))) return true;
    for (int d = 0; d < directionCount; ++d) {
        const Ray& ray = geo.rays[s][d];
        for (int i = 0; i < ray.length; ++i) {
            const uint8_t piece = p.board[ray.squares[i]];
            if (isEmpty(piece)) continue;
            if (colourOf(piece) == byColour && slidesAlong(kindOf(piece), d)) return true;
            break;
        }
    }
    return false;
}

bool moveKeepsKingSafe(const Position& child) {
    const uint8_t enemy = opponentOf(child.sideToMove);
    return moverKingIsSafe(child, child.sideToMove, [&](Square s) { return isSquareAttacked(child, s, enemy); });
}

// The children need no move lists of their own, only the answer whether the
// mover's king survived, so each is made from the state alone and asked
// that directly.
bool isLegalMove(const Position& position, Square from, Square to, const Rules& rules) {
    Position child;
    copyState(child, position);
    makeMove(from, to, child, rules);
    return moveKeepsKingSafe(child);
}
