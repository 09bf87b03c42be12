// The weights that set the opening, middle-game and endgame evaluators
// apart. The three share every term (eval/positional.h); what a term is
// worth, or whether it counts at all, in each stage of the game is here, side
// by side.
#pragma once

// When controlling the enemy half of the board is scored.
enum class SpaceRule {
    Always,
    // Early in a middle game the pieces are still finding their squares, so
    // space is only scored after the 16th half-move.
    AfterPly16,
    Never,
};

struct EvaluatorWeights {
    // Starting sum of a side to move that is in check.
    int inCheckStart;
    // Per move in the side's move list; 0 leaves mobility out.
    int mobilityPerMove;
    SpaceRule space;
    bool pieceSquareValues;
    // Penalty for a knight on the board's rim; 0 leaves it out.
    int knightOnRim;
    // A second advanced-pawn bonus, (rank - 3) * 1000 / 50 on the 5th to 7th
    // ranks, once promotion starts to matter.
    bool secondPawnBonus;
    // The king zone: all eight neighbours of the king when true, else the
    // squares beside it and the three in front of it.
    bool wholeKingRing;
    // Own attacks on the king zone count for the defence.
    bool ownZoneAttacks;
    // Pawn shield term: ((shield * 1000) / 64) * multiplier / divisor.
    int shieldMultiplier;
    int shieldDivisor;
    // Per rank the king has left its home rank.
    int kingRankPenalty;
};

// The weight tables are laid out by hand, each value beside its name.
// clang-format off
// The fullest set: development, mobility and a king kept at home.
constexpr EvaluatorWeights openingWeights = {
    -6,                 // inCheckStart
    8,                  // mobilityPerMove
    SpaceRule::Always,  // space
    true,               // pieceSquareValues
    41,                 // knightOnRim
    false,              // secondPawnBonus
    false,              // wholeKingRing
    true,               // ownZoneAttacks
    1, 1,               // shield weight
    25,                 // kingRankPenalty
};

// Half the mobility, a weaker shield, no penalty for a king that steps up,
// and pawns start to count as passers-to-be.
constexpr EvaluatorWeights middlegameWeights = {
    -6,                     // inCheckStart
    4,                      // mobilityPerMove
    SpaceRule::AfterPly16,  // space
    true,                   // pieceSquareValues
    41,                     // knightOnRim
    true,                   // secondPawnBonus
    false,                  // wholeKingRing
    true,                   // ownZoneAttacks
    3, 4,                   // shield weight
    0,                      // kingRankPenalty
};

// With few pieces left mobility, space and the tables mislead; the king is
// attacked from every side and its pawn cover is worth more.
constexpr EvaluatorWeights endgameWeights = {
    -3,               // inCheckStart
    0,                // mobilityPerMove
    SpaceRule::Never, // space
    false,            // pieceSquareValues
    0,                // knightOnRim
    true,             // secondPawnBonus
    true,             // wholeKingRing
    false,            // ownZoneAttacks
    2, 1,             // shield weight
    0,                // kingRankPenalty
};
// clang-format on
