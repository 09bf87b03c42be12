// The single rules engine: one pass over the board lists the pseudo-legal
// moves of the side to move, counts its attacks, and tells whether the move
// that led here was legal. The full mode also finds pins and check and
// finishes material and status.
#include <cstring>

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/phase.h"
#include "board/rules.h"
#include "board/status.h"

namespace {

const Geometry& geo = boardGeometry;

// A count for each piece code a board byte can hold (colour bit and kind).
using PieceCodeCounts = int[(COLOUR_MASK | KIND_MASK) + 1];

// Both forward diagonals of a pawn are attacked whatever stands there; the
// capture is a move only onto an enemy piece or the en-passant square.
void pawnCapture(const Position& p, MoveList& moves, int8_t* attacks, Square from, Square target, uint8_t enemy) {
    if ((p.enPassantTimer != 0 && target == p.enPassantSquare) || belongsTo(p.board[target], enemy))
        moves.append(from, target);
    ++attacks[target];
}

void whitePawnMoves(const Position& p, MoveList& moves, int8_t* attacks, Square s) {
    if (isEmpty(p.board[s + 8])) {
        moves.append(s, s + 8);
        if (rankOf(s) == 1 && isEmpty(p.board[s + 16])) moves.append(s, s + 16);
    }
    if (fileOf(s) != 0) pawnCapture(p, moves, attacks, s, s + 7, BLACK);
    if (fileOf(s) != 7) pawnCapture(p, moves, attacks, s, s + 9, BLACK);
}

void blackPawnMoves(const Position& p, MoveList& moves, int8_t* attacks, Square s) {
    if (isEmpty(p.board[s - 8])) {
        moves.append(s, s - 8);
        if (rankOf(s) == 6 && isEmpty(p.board[s - 16])) moves.append(s, s - 16);
    }
    if (fileOf(s) != 7) pawnCapture(p, moves, attacks, s, s - 7, WHITE);
    if (fileOf(s) != 0) pawnCapture(p, moves, attacks, s, s - 9, WHITE);
}

void stepMoves(const Position& p, MoveList& moves, int8_t* attacks, Square s, const StepTargets& targets,
               uint8_t side) {
    for (int i = 0; i < targets.count; ++i) {
        const Square t = targets.squares[i];
        if (!belongsTo(p.board[t], side)) moves.append(s, t);
        ++attacks[t];
    }
}

// A defended piece of the own colour still counts as attacked, so that the
// attack maps measure protection too.
void slideMoves(const Position& p, MoveList& moves, int8_t* attacks, Square s, int firstDirection, int lastDirection,
                uint8_t side) {
    for (int d = firstDirection; d <= lastDirection; ++d) {
        const Ray& ray = geo.rays[s][d];
        for (int i = 0; i < ray.length; ++i) {
            const Square t = ray.squares[i];
            const uint8_t piece = p.board[t];
            ++attacks[t];
            if (belongsTo(piece, side)) break;
            moves.append(s, t);
            if (!isEmpty(piece)) break;
        }
    }
}

// Castling asks only for the rights, empty squares between and the own rook
// on its corner; whether the king passes through check is found in the child.
void castlingMoves(const Position& p, MoveList& moves, Square s) {
    const uint8_t* b = p.board;
    if (s == E1 && b[s] == makePiece(KING, WHITE)) {
        if (!p.whiteQueensideBarred && isEmpty(b[D1]) && isEmpty(b[C1]) && isEmpty(b[B1]) &&
            b[A1] == makePiece(ROOK, WHITE))
            moves.append(E1, C1);
        if (!p.whiteKingsideBarred && isEmpty(b[F1]) && isEmpty(b[G1]) && b[H1] == makePiece(ROOK, WHITE))
            moves.append(E1, G1);
    } else if (s == E8 && b[s] == makePiece(KING, BLACK)) {
        if (!p.blackQueensideBarred && isEmpty(b[D8]) && isEmpty(b[C8]) && isEmpty(b[B8]) &&
            b[A8] == makePiece(ROOK, BLACK))
            moves.append(E8, C8);
        if (!p.blackKingsideBarred && isEmpty(b[F8]) && isEmpty(b[G8]) && b[H8] == makePiece(ROOK, BLACK))
            moves.append(E8, G8);
    }
}

// The move that led to the position must not leave the mover's king attacked
// (nor have castled out of, through or into check), which the attack maps of
// the side to move, just counted, tell square by square.
bool previousMoveWasLegal(const Position& p) {
    const int8_t* attacks = p.sideToMove == WHITE ? p.whiteAttacks : p.blackAttacks;
    return moverKingIsSafe(p, opponentOf(p.sideToMove), [attacks](Square s) { return attacks[s] > 0; });
}

// Marks the pieces pinned to the king and, for the side to move, check.
// occupied is the set of squares holding a piece.
void scanKingLines(Square kingSquare, Position& p, uint64_t occupied) {
    const uint8_t colour = colourOf(p.board[kingSquare]);
    const uint8_t enemy = opponentOf(colour);
    for (int d = 0; d < directionCount; ++d) {
        const Ray& ray = geo.rays[kingSquare][d];
        uint64_t pieces = occupied & ray.squareSet;
        if (pieces == 0) continue;
        // The piece nearest the king comes first along the ray.
        const bool outwardUp = ray.squares[0] > kingSquare;
        const Square first = outwardUp ? lowestSquare(pieces) : highestSquare(pieces);
        const uint8_t firstPiece = p.board[first];
        if (colourOf(firstPiece) != colour) {
            if (slidesAlong(kindOf(firstPiece), d)) p.inCheck = 1;
            continue;
        }
        // An own piece with an enemy slider right behind it is pinned.
        pieces &= ~(uint64_t{1} << first);
        if (pieces == 0) continue;
        const uint8_t behind = p.board[outwardUp ? lowestSquare(pieces) : highestSquare(pieces)];
        if (colourOf(behind) != colour && slidesAlong(kindOf(behind), d)) ++p.pinned[first];
    }
    // Knights and pawns are looked for only around the king of the side to move.
    if (colour == p.sideToMove && !p.inCheck && isAttackedByKnightOrPawn(p, kingSquare, enemy)) p.inCheck = 1;
}

}  // namespace

int generateMoves(Position& p, MoveList& moves, Generation mode, const Rules& rules, EarlierPositions earlier) {
    const bool full = mode == Generation::Full;
    const uint64_t occupied = occupiedSquares(p.board);
    // The phase's piece values, kept in the position for its readers and
    // read below for the material.
    const int* phaseValues = nullptr;
    if (full) {
        phaseValues = phasePieceValues(gamePhase(p));
        p.pieceValues = phaseValues;
        std::memset(p.whiteAttacks, 0, sizeof p.whiteAttacks);
        std::memset(p.blackAttacks, 0, sizeof p.blackAttacks);
        std::memset(p.pinned, 0, sizeof p.pinned);
        p.inCheck = 0;
        scanKingLines(p.blackKingSquare, p, occupied);
        scanKingLines(p.whiteKingSquare, p, occupied);
    }

    moves.count = 0;
    const uint8_t side = p.sideToMove;
    int8_t* attacks = side == WHITE ? p.whiteAttacks : p.blackAttacks;
    // The pieces on the board by piece code (colour and kind); the material
    // follows from them at the end, which costs less than summing counts and
    // values piece by piece.
    PieceCodeCounts onBoard = {};

    for (uint64_t rest = occupied; rest != 0;) {
        const Square s = popLowestSquare(rest);
        const uint8_t piece = p.board[s];
        const int kind = kindOf(piece);
        if (full) ++onBoard[piece & (COLOUR_MASK | KIND_MASK)];
        if (colourOf(piece) != side) continue;
        switch (kind) {
            case PAWN:
                if (side == WHITE)
                    whitePawnMoves(p, moves, attacks, s);
                else
                    blackPawnMoves(p, moves, attacks, s);
                break;
            case KNIGHT: stepMoves(p, moves, attacks, s, geo.knightTargets[s], side); break;
            case BISHOP: slideMoves(p, moves, attacks, s, firstBishopDirection, directionCount - 1, side); break;
            case ROOK: slideMoves(p, moves, attacks, s, 0, firstBishopDirection - 1, side); break;
            case QUEEN: slideMoves(p, moves, attacks, s, 0, directionCount - 1, side); break;
            case KING:
                stepMoves(p, moves, attacks, s, geo.kingTargets[s], side);
                castlingMoves(p, moves, s);
                break;
            default: break;
        }
    }

    if (!previousMoveWasLegal(p)) {
        moves.count = 0;
        return 0;
    }
    if (full) {
        // Indexed by colour: 0 Black, 1 White.
        int pieces[2] = {}, counts[2] = {}, values[2] = {};
        bool heavy[2] = {};
        for (const uint8_t colour : {BLACK, WHITE}) {
            const int c = colourIndex(colour);
            for (int kind = PAWN; kind <= QUEEN; ++kind) {
                const int n = onBoard[makePiece(kind, colour)];
                pieces[c] += n;
                counts[c] += n * materialCountWeight[kind];
                values[c] += n * phaseValues[kind];
                if (n > 0 && (kind == PAWN || kind == ROOK || kind == QUEEN)) heavy[c] = true;
            }
        }
        finishMaterialAndStatus(p, moves, pieces, counts, values, heavy, rules, earlier);
    }
    return 1;
}

int generateLegalMoves(Position& position, MoveList& moves, const Rules& rules, EarlierPositions earlier) {
    MoveList pseudo;
    moves.count = 0;
    if (!generateMoves(position, pseudo, Generation::Full, rules, earlier)) return 0;
    for (int i = 0; i < pseudo.count; ++i)
        if (isLegalMove(position, pseudo.from[i], pseudo.to[i], rules)) moves.append(pseudo.from[i], pseudo.to[i]);
    return 1;
}
