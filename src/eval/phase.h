// The game phase and the two sets of piece values it chooses between.
#pragma once

// Values by kind (empty, pawn, rook, knight, bishop, king, queen) in
// thousandths of a pawn. The pawn gains a little in the late phases.
constexpr int middlegamePieceValues[7] = {0, 1000, 5500, 3125, 3175, 20000, 10250};
constexpr int endgamePieceValues[7] = {0, 1025, 5500, 3125, 3175, 20000, 10250};
