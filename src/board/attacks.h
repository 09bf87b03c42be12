// Whether one square is attacked, looked up from the square itself rather
// than through the attack maps of a full move generation.
#pragma once

#include "board/position.h"

// True when a knight or a pawn of the given colour attacks the square.
bool isAttackedByKnightOrPawn(const Position& p, Square s, uint8_t byColour);

// True when a piece of the given colour attacks the square on this board:
// a slider whose line to it is clear, a knight, a pawn or the king.
bool isSquareAttacked(const Position& p, Square s, uint8_t byColour);

// The legality rule of the full generation, applied to a child position
// just made (before its side is switched): the mover's king is not attacked,
// and a castling king did not start on, cross or land on an attacked square.
bool moveKeepsKingSafe(const Position& child);

// That rule itself, for both ways of asking: attacked(s) tells whether the
// mover's opponent attacks square s, from the attack maps of a full
// generation or by looking outward from s. A king that went from its home
// square two files sideways has castled; the square it landed on is its own.
template <typename IsAttacked>
inline bool moverKingIsSafe(const PositionState& p, uint8_t mover, IsAttacked attacked) {
    const Square king = mover == WHITE ? p.whiteKingSquare : p.blackKingSquare;
    if (attacked(king)) return false;
    const Square home = mover == WHITE ? E1 : E8;
    if (p.lastFrom != home || p.lastTo != king || (king != home + 2 && king != home - 2)) return true;
    return !attacked(home) && !attacked((home + king) / 2);
}
