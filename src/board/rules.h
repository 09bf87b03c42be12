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

// What the rules read beyond the position itself: the hash keys.
struct Rules {
    HashKeys keys;
};

// The positions before the one a full generation makes, oldest first, for
// its three-fold repetition test; none (the default) tests no repetition.
// A game passes its own positions, a search its line behind them.
struct EarlierPositions {
    const Position* positions = nullptr;
    int count = 0;
};

// Plays a trusted move in place; the caller switches the side and runs the
// full generation. A pawn reaching its last rank becomes the promotion
// kind. Returns 2 after a promotion, else 1.
int makeMove(Square from, Square to, Position& position, const Rules& rules, uint8_t promotion = QUEEN);

// What a move generation fills besides the move list and the side to move's
// attack counts: nothing more, or every derived field (pins, check,
// material and status), which is what a new position needs. CountOnly is
// MovesOnly without the list: moves.count alone says how long it would be.
enum class Generation { MovesOnly, Full, CountOnly };

// Lists the pseudo-legal moves of the side to move and counts its attacks.
// Returns 0 when the move that led to the position left the mover's king
// attacked (or castled out of, through or into check). The full mode tests
// for a repetition of the earlier positions given.
int generateMoves(Position& position, MoveList& moves, Generation mode, const Rules& rules,
                  EarlierPositions earlier = {});

// The legal moves in generation order; 0 (and an empty list) when the
// position itself is illegal.
int generateLegalMoves(Position& position, MoveList& moves, const Rules& rules, EarlierPositions earlier = {});

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
