// The endgame evaluator on hand-worked positions. It reads no tables and
// scores no mobility or space; pawns are worth 1025.
#include "eval_test_support.h"

namespace {

PositionalSums endgameSums(TestEngine& t, const std::string& fen) {
    MoveList moves;
    Position& p = prepare(t, fen, moves);
    EXPECT_EQ(gamePhase(p), 3);
    return endgameEvaluation(t.evalContext(), p);
}

// White: Kg1, pawns f2 g2 h2 (count 23, 23075); Black: Kd5, pawn a7
// (count 21, 21025). White to move.
const char* kingsideMajority = "8/p7/8/3k4/8/8/5PPP/6K1 w - - 0 1";

// White:
//   zone: g1's ring on the board is f1 h1 f2 g2 h2: shield 3, no enemy
//   defended f2 g2 h2 1 each = 3; the king undefended
//   safety ((3000/160))/2 = 18/2 = 9, shield 2 * (3000/64) = 2 * 46 = 92: 101
//   files: b c d e f lack a neighbour -22 * 5; f g h passed at rank 1,
//   50 + 50 each: -110 + 300 = 190
//   undefended -15
//   sum 101 + 190 - 15 = 276
// Black (less material, so its king is drawn to the centre):
//   king d5 rank bonus (7 - 4 = 3) 2
//   centralisation (3 * 1000)/28 + (3 * 1000)/28 = 107 + 107 = 214
//   files: a isolated -66, passed 50 + 50; b c d e f g -22 * 6; king on the
//   pawnless d-file -20: -66 + 100 - 132 - 20 = -118
//   undefended king and pawn -30
//   sum 2 + 214 - 118 - 30 = 68
// score 23075 - 21025 + 276 - 68 = 2258
TEST(EndgameEvaluator, KingsideMajorityAgainstCentralKing) {
    EvalEngine t;
    const PositionalSums sums = endgameSums(t, kingsideMajority);
    EXPECT_EQ(sums.white, 276);
    EXPECT_EQ(sums.black, 68);
    EXPECT_EQ(evaluateFen(t, kingsideMajority), 2258);
}

// The mirror image with Black to move: White's king on d4 now earns the
// 214 of centralisation, and the side to move gets the same 2258.
TEST(EndgameEvaluator, MirroredPositionScoresTheSameForTheSideToMove) {
    EvalEngine t;
    const std::string mirrored = mirrorFen(kingsideMajority);
    EXPECT_EQ(mirrored, "6k1/5ppp/8/8/3K4/8/P7/8 b - - 0 1");
    const PositionalSums sums = endgameSums(t, mirrored);
    EXPECT_EQ(sums.white, 68);
    EXPECT_EQ(sums.black, 276);
    EXPECT_EQ(evaluateFen(t, mirrored), 2258);
}

// White: Kb1 Rd1, pawns a2 b2 (count 27, 27550); Black: Ke8 Nc3, pawn f7
// (count 24, 24150). White to move and in check from the knight.
// White:
//   starts at -3 (in check)
//   zone: b1's ring a1 c1 a2 b2 c2: shield 2, enemy a2 1 (the knight)
//   Kb1 own 1 (rook) enemy 1; Rd1 own 0 enemy 1; a2 own 1 enemy 1; b2 own 1:
//   defended 3, attacked 3, undefended the rook
//   safety (3000/160)/2 = 9, -1000/64 = -15, -3000/160 = -18,
//          2 * (2000/64) = 2 * 31 = 62: 38
//   files: a and b passed at rank 1, 100 each; the d-rook on a file
//   without Black pieces next to the king's e-file 19 + 19 = 38; b c d e
//   f g lack a neighbour -22 * 6: 200 + 38 - 132 = 106
//   undefended -15
//   sum -3 + 38 + 106 - 15 = 126
// Black:
//   knight c3 rank bonus (7 - 2 = 5) 6
//   zone e8: d8 f8 d7 e7 f7: shield 1; enemy d8 1 + d7 1 (rook) = 2
//   Nc3 own 0 enemy 1 (b2); f7 own 1; Ke8 own 0: defended 1, attacked 1,
//   undefended knight and king
//   safety (1000/160)/2 = 3, -2000/64 = -31, -1000/160 = -6,
//          2 * (1000/64) = 30: -4
//   centralisation of e8 (less material): 0 + (3 * 1000)/28 = 107
//   files: f isolated -66 but passed 100; b c d e g -22 * 5; king on the
//   pawnless e-file -20: -66 + 100 - 110 - 20 = -96
//   undefended -30
//   sum 6 - 4 + 107 - 96 - 30 = -17
// score 27550 - 24150 + 126 + 17 = 3543
TEST(EndgameEvaluator, RookNearTheKingAndSideInCheck) {
    EvalEngine t;
    const std::string fen = "4k3/5p2/8/8/8/2n5/PP6/1K1R4 w - - 0 1";
    const PositionalSums sums = endgameSums(t, fen);
    EXPECT_EQ(sums.white, 126);
    EXPECT_EQ(sums.black, -17);
    int status = -1;
    EXPECT_EQ(evaluateFen(t, fen, &status), 3543);
    EXPECT_EQ(status, InCheck);
}

// The king of the side with less material: 214 on d4, nothing on a1, and
// nothing for either king when the counts are equal.
TEST(EndgameEvaluator, WeakerKingCentralisation) {
    EXPECT_EQ(centralisation(sq("d4"), 28), 214);
    EXPECT_EQ(centralisation(sq("a1"), 28), 0);
    EvalEngine t;
    // Kd4 + pawn a2 against Kh8 + pawns a7 b7 (counts 21 and 22), and the
    // same without b7 (21 and 21, still phase 3). Nothing else of White's
    // changes: the a-pawns block each other either way.
    const PositionalSums weaker = endgameSums(t, "7k/pp6/8/8/3K4/8/P7/8 w - - 0 1");
    const PositionalSums equal = endgameSums(t, "7k/p7/8/8/3K4/8/P7/8 w - - 0 1");
    EXPECT_EQ(weaker.white - equal.white, 214);
}

}  // namespace
