// Playing a move in place on a copy of its parent. The move is trusted:
// legality is found afterwards by generating moves in the child.
#include "board/rules.h"

namespace {

// The rook's journey for each castling king move, by the king's target.
struct CastlingRook {
    Square kingTo, rookFrom, rookTo;
};
constexpr CastlingRook castlingRooks[4] = {{G1, H1, F1}, {C1, A1, D1}, {G8, H8, F8}, {C8, A8, D8}};

// A castling right lives only as long as its rook has stood on its corner
// all along: any move from the corner (the rook leaving) or onto it (the
// rook captured there, or some piece arriving) ends the right for good, so
// another rook that later reaches the corner cannot castle.
void barCorner(Position& p, Square s) {
    switch (s) {
        case A1: p.whiteQueensideBarred = 1; break;
        case H1: p.whiteKingsideBarred = 1; break;
        case A8: p.blackQueensideBarred = 1; break;
        case H8: p.blackKingsideBarred = 1; break;
        default: break;
    }
}

}  // namespace

int makeMove(Square from, Square to, Position& p, const Rules& rules, uint8_t promotion) {
    const HashKeys& keys = rules.keys;
    int result = 1;
    ++p.plyCount;
    p.lastTo = static_cast<uint8_t>(to);
    p.lastFrom = static_cast<uint8_t>(from);

    const uint8_t mover = p.board[from];
    const uint8_t captured = p.board[to];
    const uint8_t colour = colourOf(mover);
    p.hashKey ^= keys.pieceKey(mover, from);
    if (!isEmpty(captured)) p.hashKey ^= keys.pieceKey(captured, to);

    // The clock is a signed byte: it stops at 127 rather than wrapping round
    // to a negative count that would undo a fifty-move draw.
    if (kindOf(mover) == PAWN || !isEmpty(captured))
        p.halfmoveClock = 0;
    else if (p.halfmoveClock < INT8_MAX)
        ++p.halfmoveClock;

    p.board[to] = mover;
    p.board[from] &= static_cast<uint8_t>(~KIND_MASK);
    barCorner(p, from);
    barCorner(p, to);

    switch (kindOf(mover)) {
        case KING:
            if (colour == WHITE) {
                p.whiteKingsideBarred = p.whiteQueensideBarred = 1;
                p.whiteKingSquare = static_cast<int8_t>(to);
            } else {
                p.blackKingsideBarred = p.blackQueensideBarred = 1;
                p.blackKingSquare = static_cast<int8_t>(to);
            }
            if (to - from == 2 || from - to == 2) {
                for (const CastlingRook& c : castlingRooks) {
                    if (c.kingTo != to) continue;
                    const uint8_t rook = makePiece(ROOK, colour);
                    p.board[c.rookFrom] &= static_cast<uint8_t>(~KIND_MASK);
                    p.board[c.rookTo] = rook;
                    p.hashKey ^= keys.pieceKey(rook, c.rookFrom) ^ keys.pieceKey(rook, c.rookTo);
                }
                (colour == WHITE ? p.whiteCastled : p.blackCastled) = 1;
            }
            break;
        case PAWN:
            if (isPromotingPawn(mover, from)) {
                p.board[to] = makePiece(promotion, colour);
                result = 2;
            } else if (rankOf(from) == 1 && rankOf(to) == 3) {
                p.enPassantTimer = 2;
                p.enPassantSquare = static_cast<uint8_t>(from + 8);
            } else if (rankOf(from) == 6 && rankOf(to) == 4) {
                p.enPassantTimer = 2;
                p.enPassantSquare = static_cast<uint8_t>(from - 8);
            } else if (p.enPassantTimer != 0 && to == p.enPassantSquare) {
                const Square victim = rankOf(to) == 5 ? to - 8 : to + 8;
                p.hashKey ^= keys.pieceKey(p.board[victim], victim);
                p.board[victim] &= static_cast<uint8_t>(~KIND_MASK);
            }
            break;
        default: break;
    }

    p.hashKey ^= keys.pieceKey(p.board[to], to);
    if (p.enPassantTimer != 0) --p.enPassantTimer;
    return result;
}
