// Basic vocabulary of the board: squares, piece codes, colours and the
// status codes a position can carry.
#pragma once

#include <cstdint>
#include <string>

// Squares are 0..63 with a1 = 0, h1 = 7, a8 = 56: file = square % 8,
// rank = square / 8.
using Square = int;

// For squares, which are never negative, the bit operations are the same as
// % 8 and / 8 but spare the compiler the fix-ups for a negative int.
constexpr int fileOf(Square s) { return s & 7; }
constexpr int rankOf(Square s) { return s >> 3; }
constexpr Square makeSquare(int file, int rank) { return file + 8 * rank; }

// Names for the squares the rules single out (the castling squares, the
// corners, the pawns' ranks); each converts to its Square number.
// clang-format off
enum SquareName : int {
    A1, B1, C1, D1, E1, F1, G1, H1,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A8, B8, C8, D8, E8, F8, G8, H8,
};
// clang-format on

// A board byte holds the piece kind in its low four bits and the colour in
// bit 16 (set for White). The kind order (rook before the minor pieces, king
// before queen) is used as an index by every kind-indexed table.
enum PieceKind : uint8_t {
    EMPTY = 0,
    PAWN = 1,
    ROOK = 2,
    KNIGHT = 3,
    BISHOP = 4,
    KING = 5,
    QUEEN = 6,
};

// The colour values double as the colour bit of a piece code and as the
// values of sideToMove.
constexpr uint8_t WHITE = 16;
constexpr uint8_t BLACK = 0;

constexpr uint8_t KIND_MASK = 15;
constexpr uint8_t COLOUR_MASK = 16;

constexpr int kindOf(uint8_t piece) { return piece & KIND_MASK; }
constexpr uint8_t colourOf(uint8_t piece) { return piece & COLOUR_MASK; }
constexpr bool isEmpty(uint8_t piece) { return kindOf(piece) == EMPTY; }
constexpr bool belongsTo(uint8_t piece, uint8_t colour) { return kindOf(piece) != EMPTY && colourOf(piece) == colour; }
constexpr uint8_t makePiece(int kind, uint8_t colour) { return static_cast<uint8_t>(kind | colour); }
// A colour as an index into arrays of one entry per colour: 0 Black, 1 White.
constexpr int colourIndex(uint8_t colour) { return colour == WHITE ? 1 : 0; }
constexpr uint8_t opponentOf(uint8_t colour) { return static_cast<uint8_t>(WHITE - colour); }

// A pawn about to step onto its last rank: every move of it promotes.
constexpr bool isPromotingPawn(uint8_t piece, Square from) {
    return (piece == makePiece(PAWN, WHITE) && from >= A7 && from <= H7) ||
           (piece == makePiece(PAWN, BLACK) && from >= A2 && from <= H2);
}

// Small material weights: a side's sum is its material count (59 for the
// full army), which drives the game phase.
constexpr int materialCountWeight[7] = {0, 1, 5, 3, 3, 20, 9};

// Values by kind (empty, pawn, rook, knight, bishop, king, queen) in
// thousandths of a pawn, by the game phase (see board/phase.h). The pawn
// gains a little in the late phases.
constexpr int middlegamePieceValues[7] = {0, 1000, 5500, 3125, 3175, 20000, 10250};
constexpr int endgamePieceValues[7] = {0, 1025, 5500, 3125, 3175, 20000, 10250};

// The status of a position as seen by one side. Codes 2 and above end the game.
enum GameStatus : int8_t {
    Normal = 0,
    InCheck = 1,
    Checkmate = 2,
    Stalemate = 3,
    DrawMaterial = 4,
    DrawRepetition = 5,
    DrawFiftyMoves = 6,
};

// Scores are in thousandths of a pawn, from the side to move's point of
// view. A side to move that is checkmated scores mateScore, and one mated p
// plies from the search's root mateScore + 1000 * p, so a nearer mate is
// worth more to the winner. Searches run in the window -infinity..infinity.
constexpr int mateScore = -400000;
constexpr int infinityScore = 800000;

// The least score of a side that mates within the given plies of the root.
constexpr int mateWithin(int plies) { return -mateScore - 1000 * plies; }

// A score as a GUI shows it: in centipawns, rounded towards zero.
constexpr int centipawns(int score) { return score * 100 / 1000; }

// "e4" for square 28.
inline std::string squareName(Square s) {
    return {static_cast<char>('a' + fileOf(s)), static_cast<char>('1' + rankOf(s))};
}
