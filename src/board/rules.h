// The rules of chess as functions of the position: making a move, listing
// the moves, legality, the game status with repetition, and setting up a
// position from FEN. They need nothing beyond what they are given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/hash_keys.h"
#include "board/phase.h"
#include "board/position.h"

// What the rules read beyond the position itself, and the one thing the full
// generation hands back besides the position: the piece values it chose.
struct Rules {
    HashKeys keys;
    // The kind a promoting pawn becomes in the next makeMove.
    uint8_t promotionPiece = QUEEN;
    // The full generation tests for repetitions only while this is on, and
    // then against the game line: entries 0 to *gamePly - 1 of gameLine are
    // the positions before the one generated.
    bool repetitionCheckOn = false;
    const std::vector<Position>* gameLine = nullptr;
    const int* gamePly = nullptr;
    // The piece values by kind of the phase the last full generation found;
    // the move ordering and the capture search read them.
    const int* pieceValues = middlegamePieceValues;
};

// Plays a trusted move in place; the caller switches the side and runs the
// full generation. Returns 2 after a promotion, else 1.
int makeMove(Square from, Square to, Position& position, const Rules& rules);

// What a move generation fills besides the move list and the side to move's
// attack counts: nothing more, or every derived field (pins, check,
// material and status), which is what a new position needs.
enum class Generation { MovesOnly, Full };

// Lists the pseudo-legal moves of the side to move and counts its attacks.
// Returns 0 when the move that led to the position left the mover's king
// attacked (or castled out of, through or into check).
int generateMoves(Position& position, MoveList& moves, Generation mode, Rules& rules);

// The legal moves in generation order; 0 (and an empty list) when the
// position itself is illegal.
int generateLegalMoves(Position& position, MoveList& moves, Rules& rules);

// Whether a pseudo-legal move of the position leaves the mover's king safe.
bool isLegalMove(const Position& position, Square from, Square to, const Rules& rules);

// Checkmate or stalemate, which the full generation alone cannot tell: marks
// a position whose side to move has no legal move.
void markNoLegalMove(Position& position);

// Three-fold repetition of the position against the positions before it,
// the count of them given.
bool isRepetition(const Position& position, const Position* earlier, int count);

// The standard start position.
constexpr const char* startPositionText = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Fills the position from FEN text, or with the start position when the text
// is null or unusable; usedText receives the text the position was set up
// from (at most 255 characters of it). Returns null when the text was used,
// else why it was refused.
const char* setupPosition(Position& position, const char* text, const HashKeys& keys, std::string& usedText);

// Why no game from the standard start could reach the position's material,
// or null when one could: each side needs exactly one king, at most 16
// pieces and 8 pawns, and no more pieces beyond its initial ones than its
// missing pawns could have become. Kept apart from setupPosition for the
// positions a GUI hands over: tests and tools set up crowded boards on
// purpose.
const char* impossibleMaterial(const Position& position);
