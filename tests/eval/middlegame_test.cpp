// The middle-game evaluator on hand-worked positions (all-zero tables).
#include "eval_test_support.h"

namespace {

PositionalSums middlegameSums(TestEngine& t, const std::string& fen) {
    MoveList moves;
    Position& p = prepare(t, fen, moves);
    EXPECT_EQ(gamePhase(p), 2);
    return middlegameEvaluation(t.evalContext(), p, moves);
}

// White: Kg1 Ra1, pawns f2 g2 h2 e5; Black: Kg8 Ra8, pawns b7 f7 g7 h7.
// Counts 29 and 29, material 29500 each. Move n gives ply 2n - 2.
std::string rooksAndPawns(int moveNumber) {
    return "r5k1/1p3ppp/8/4P3/8/8/5PPP/R5K1 w - - 0 " + std::to_string(moveNumber);
}

// At ply 38 (space counts):
// White:
//   21 moves (rook 5 + 7, king 2, pawns 2 + 2 + 2 + 1): 4 * 21 = 84
//   space: a5 2 + a6 4 + a7 6 + a8 8 + d6 6 + f6 4 = 30
//   e5: second pawn bonus (4 - 3) * 1000 / 50 = 20, rank bonus 4
//   zone g1: h1 1 + f1 2 + g2 1 + h2 1 + f2 1 = 6, shield 3
//   defended 4 (g1 f2 g2 h2), attacked 1 (a1 by the rook)
//   safety (6000/64)/4 = 93/4 = 23, (4000/160)/2 = 12, -1000/160 = -6,
//          shield ((3000/64) * 3) / 4 = 138/4 = 34: 63
//   files: b c d e lack a neighbour -22 * 4 = -88; e5 passed on the
//   d-side only 50 * 4 = 200: 112
//   undefended a1 e5: -30
//   sum 84 + 30 + 20 + 4 + 63 + 112 - 30 = 283
// Black:
//   22 moves (rook 5 + 7, pawns 4 * 2, king 2): 88
//   space (from Black's side): a4 2 + a3 4 + a2 6 + a1 8 = 20
//   zone g8: 6 own, shield 3, safety as White's 63
//   files: b isolated -66 and passed 50 + 50 = 100, c d e f -22 * 4 = -88:
//   -54
//   undefended a8 b7: -30
//   sum 88 + 20 + 63 - 54 - 30 = 87
// score 0 + 283 - 87 = 196, White to move
TEST(MiddlegameEvaluator, RooksAndPawnsWithSpace) {
    EvalEngine t;
    const PositionalSums sums = middlegameSums(t, rooksAndPawns(20));
    EXPECT_EQ(sums.white, 283);
    EXPECT_EQ(sums.black, 87);
    EXPECT_EQ(evaluateFen(t, rooksAndPawns(20)), 196);
}

// Space only counts after ply 16: at ply 16 White 283 - 30 = 253, Black
// 87 - 20 = 67, score 186; at ply 18 it is back to 196.
TEST(MiddlegameEvaluator, SpaceOnlyAfterPly16) {
    EvalEngine t;
    const PositionalSums ply16 = middlegameSums(t, rooksAndPawns(9));
    EXPECT_EQ(ply16.white, 253);
    EXPECT_EQ(ply16.black, 67);
    EXPECT_EQ(evaluateFen(t, rooksAndPawns(9)), 186);
    EXPECT_EQ(evaluateFen(t, rooksAndPawns(10)), 196);
}

// The mirror image, Black to move: the same 196 for the side to move.
TEST(MiddlegameEvaluator, MirroredPositionScoresTheSameForTheSideToMove) {
    EvalEngine t;
    const std::string mirrored = mirrorFen(rooksAndPawns(20));
    EXPECT_EQ(mirrored, "r5k1/5ppp/8/8/4p3/8/1P3PPP/R5K1 b - - 0 20");
    const PositionalSums sums = middlegameSums(t, mirrored);
    EXPECT_EQ(sums.white, 87);
    EXPECT_EQ(sums.black, 283);
    EXPECT_EQ(evaluateFen(t, mirrored), 196);
}

// White: Kb1 Qd3 Rf1, pawns a2 b2 c2; Black: Kg8 Rd8 Nc6, pawns f7 g7 h7.
// Counts 37 and 31 (phase 2); material 20000 + 10250 + 5500 + 3000 = 38750
// and 20000 + 5500 + 3125 + 3000 = 31625. White to move, ply 40, no rights.
// White's 41 moves: king 2; rook g1 h1, e1 d1 c1, f2-f7: 11; queen east 4,
// west 3, north 5 (to d8), south 2, north-east 4 (to h7), south-east e2,
// north-west 3: 22; pawns 6. Black's 25 moves: rook 2 + 3 + 5 (to d3),
// knight 7, pawns 6, king 2.
// White:
//   mobility 4 * 41 = 164
//   space: d4 4 + e4 4, b5 2 + d5 6 + f5 2*2, a6 4 + d6 6 + f6 4 + g6 4,
//          d7 6 + f7 6 + h7 6, d8 8: 8 + 12 + 18 + 18 + 8 = 64
//   zone b1: c1 2 + a1 1 + b2 1 + c2 2 + a2 1 = 7, no enemy, shield 3
//   defended: Kb1 1 (the rook) + Rf1 1 + a2 1 + b2 1 + c2 2 + Qd3 1 = 7;
//   attacked: the queen by the rook, 1
//   safety (7000/64)/4 = 109/4 = 27, (7000/160)/2 = 43/2 = 21,
//          -1000/160 = -6, ((3000/64) * 3)/4 = 138/4 = 34: 76
//   files: a b c passed at rank 1, 100 each; c d e f g lack a neighbour
//   -22 * 5; the f-rook faces the f7 pawn: 300 - 110 = 190
//   sum 164 + 64 + 76 + 190 = 494
// Black:
//   mobility 4 * 25 = 100
//   space (from Black's side): d5 4 + e5 4 + b4 2 + d4 6*2 + d3 6 = 28
//   zone g8: h8 1 + f8 2 + g7 1 + h7 1 + f7 1 = 6; enemy f7 1 + h7 1 = 2;
//   shield 3
//   defended 5 (f7 g7 h7 d8 g8), attacked 3 (f7 h7 d8), Nc6 undefended
//   safety 93/4 = 23, (5000/160)/2 = 31/2 = 15, -2000/64 = -31,
//          -3000/160 = -18, 34: 23
//   files: f g h passed at rank 1, 100 each; b c d e f lack a neighbour
//   -22 * 5; the d-rook faces the queen: 190
//   undefended -15
//   sum 100 + 28 + 23 + 190 - 15 = 326
// score 38750 - 31625 + 494 - 326 = 7293, White to move
TEST(MiddlegameEvaluator, QueenAgainstRookAndKnight) {
    EvalEngine t;
    const std::string fen = "3r2k1/5ppp/2n5/8/8/3Q4/PPP5/1K3R2 w - - 0 21";
    const PositionalSums sums = middlegameSums(t, fen);
    EXPECT_EQ(sums.white, 494);
    EXPECT_EQ(sums.black, 326);
    EXPECT_EQ(evaluateFen(t, fen), 7293);
}

}  // namespace
