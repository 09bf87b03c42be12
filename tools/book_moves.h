// Finds a written move among the legal moves of a position: SAN ("Nbd7",
// "exd6", "O-O", "e8=Q+") or coordinates ("g1f3", "e7e8q"). The position's
// legal moves come from the engine; nothing here knows how pieces move.
#pragma once

#include <string>

#include "board/position.h"
#include "board/rules.h"

enum class MoveProblem {
    None,
    Unreadable,      // not a move in this notation
    Illegal,         // no legal move fits
    Ambiguous,       // more than one legal move fits
    Underpromotion,  // legal, but the book code can only promote to a queen
};

struct FoundMove {
    MoveProblem problem = MoveProblem::Unreadable;
    Square from = 0;
    Square to = 0;
};

FoundMove findSanMove(const Position& position, const MoveList& legal, const std::string& text);
FoundMove findCoordinateMove(const Position& position, const MoveList& legal, const std::string& text);

// Plays a found move in place and hands the turn to the other side.
void playFoundMove(Position& position, const FoundMove& found, const Rules& rules);

// Words for a message: "is not legal here", "is ambiguous", ...
const char* describeProblem(MoveProblem problem);
