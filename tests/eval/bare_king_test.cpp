// The bare-king evaluator on hand-worked positions: one side has only its
// king. Pawns are worth 1025.
#include "eval_test_support.h"

namespace {

PositionalSums bareKingSums(TestEngine& t, const std::string& fen) {
    MoveList moves;
    Position& p = prepare(t, fen, moves);
    EXPECT_EQ(gamePhase(p), 4);
    return bareKingEvaluation(p);
}

// White Kg1, bishop c1 (dark), knight b1 (count 26, 26300) against the
// Black king on e5 (count 20, 20000), White to move.
// White: no pawns, one bishop: 0.
// Black: corner term, dark bishop: corners a1 (distance 8) and h8 (6):
//   (6 * 1000)/14 = 428; distance to the White king 2 + 4 = 6:
//   (6 * 1000)/35 = 171; centre (3 * 1000)/21 * 2 = 142 + 142 = 284:
//   428 + 171 + 284 = 883
// score 26300 - 20000 - 883 = 5417
TEST(BareKingEvaluator, DarkBishopDrivesTheKingToA1OrH8) {
    EvalEngine t;
    const std::string fen = "8/8/8/4k3/8/8/8/1NB3K1 w - - 0 1";
    const PositionalSums sums = bareKingSums(t, fen);
    EXPECT_EQ(sums.white, 0);
    EXPECT_EQ(sums.black, 883);
    EXPECT_EQ(evaluateFen(t, fen), 5417);
}

// The bishop on f1 (light), Black to move: corners h1 (3 + 4 = 7) and a8
// (4 + 3 = 7): (7 * 1000)/14 = 500; distance 6: 171; centre 284: 955.
// score for White 6300 - 955 = 5345, Black to move: -5345
TEST(BareKingEvaluator, LightBishopUsesTheOtherCorners) {
    EvalEngine t;
    const std::string fen = "8/8/8/4k3/8/8/8/1N3BK1 b - - 0 1";
    const PositionalSums sums = bareKingSums(t, fen);
    EXPECT_EQ(sums.black, 955);
    EXPECT_EQ(evaluateFen(t, fen), -5345);
}

// The knight on d3 checks the Black king: status 1 changes nothing here
// (Black starts at 0), the sums are those of the first position: -5417.
TEST(BareKingEvaluator, CheckChangesNothing) {
    EvalEngine t;
    const std::string fen = "8/8/8/4k3/8/3N4/8/2B3K1 b - - 0 1";
    int status = -1;
    EXPECT_EQ(evaluateFen(t, fen, &status), -5417);
    EXPECT_EQ(status, InCheck);
    EXPECT_EQ(bareKingSums(t, fen).black, 883);
}

// Black Kh8, bishops d6 e6, pawns c2 e3 g4 (count 29, 29425) against the
// White king on a1 (20000), White to move.
// Black: c2 (rank 6 from Black's side) 33 + 60 = 93; e3 16 + 40 = 56;
//   g4 20; bishop pair 83: 252
// White (no corner term: Black's count is not 26): distance a1-h8 14:
//   (14 * 1000)/35 = 400; centre 0 on a1: 400
// score 20000 - 29425 + 400 - 252 = -9277
TEST(BareKingEvaluator, PawnsAndBishopPairOfTheStrongerSide) {
    EvalEngine t;
    const std::string fen = "7k/8/3bb3/8/6p1/4p3/2p5/K7 w - - 0 1";
    const PositionalSums sums = bareKingSums(t, fen);
    EXPECT_EQ(sums.white, 400);
    EXPECT_EQ(sums.black, 252);
    EXPECT_EQ(evaluateFen(t, fen), -9277);
    EXPECT_EQ(evaluateFen(t, mirrorFen(fen)), -9277);
}

// King and rook against king: no corner term, only distance and centre.
// Black Kd5: distance to Kg1 3 + 4 = 7: 200; centre 3 and 3: 284.
TEST(BareKingEvaluator, NoCornerTermAgainstARook) {
    EvalEngine t;
    EXPECT_EQ(bareKingSums(t, "8/8/8/3k4/8/8/8/R5K1 w - - 0 1").black, 200 + 284);
}

}  // namespace
