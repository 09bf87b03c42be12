// The four evaluators, one per game phase, and what they hand back to
// evaluate. Each scores only the position's features; evaluate adds the
// material balance, handles the game status and turns the result to the
// side to move's point of view.
#pragma once

#include "board/position.h"

struct Evaluator;
struct Rules;

// What an evaluator reads besides the position: the tables, and the rules
// that list the opponent's moves.
struct EvalContext {
    const Evaluator& evaluator;
    const Rules& rules;
};

// Positional sums in thousandths of a pawn, each good for its own side.
struct PositionalSums {
    int white = 0;
    int black = 0;
};

// Each evaluator expects a position that has just had a full move generation
// and whose status is Normal or InCheck. moves is the list that generation
// made for the side to move. The first three generate the opponent's moves
// as well and leave the opponent's attack map holding its attack counts;
// evaluating again gives the same sums.
PositionalSums openingEvaluation(const EvalContext& context, Position& position, const MoveList& moves);
PositionalSums middlegameEvaluation(const EvalContext& context, Position& position, const MoveList& moves);
PositionalSums endgameEvaluation(const EvalContext& context, Position& position);
PositionalSums bareKingEvaluation(const Position& position);
