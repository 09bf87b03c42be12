// The opening evaluator on hand-worked positions. Tables are all zero (the
// table files are missing where the tests run), so no piece-square values.
#include "eval_test_support.h"

namespace {

const char* startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

PositionalSums openingSums(TestEngine& t, const std::string& fen) {
    MoveList moves;
    Position& p = prepare(t, fen, moves);
    EXPECT_LE(gamePhase(p), 1);
    return openingEvaluation(t.evalContext(), p, moves);
}

// Start position, either side (the armies are mirror images):
//   mobility 8 * 20 = 160
//   home pawns f2 83 + c2 27 = 110
//   knights on the back rank 2 * -41 = -82
//   bishop pair 83
//   zone e1: f1 1 + d1 1 + d2 4 + e2 4 + f2 1 = 11 own attacks, shield 3
//   defended: rank 1 0+1+1+1+1+1+1+0 = 6, rank 2 1+1+1+4+4+1+1+1 = 14, total 20
//   safety ((11*1000)/64)/4 = 171/4 = 42, ((20*1000)/160)/2 = 125/2 = 62,
//          shield (3*1000)/64 = 46: 150
//   castling rights 33 + 25 = 58; undefended rooks 2 * -15 = -30
//   space: own attacks reach rank 3 only, weight 0
//   sum 160 + 110 - 82 + 83 + 150 + 58 - 30 = 449
TEST(OpeningEvaluator, StartPosition) {
    EvalEngine t;
    const PositionalSums sums = openingSums(t, startFen);
    EXPECT_EQ(sums.white, 449);
    EXPECT_EQ(sums.black, 449);
    EXPECT_EQ(evaluateFen(t, startFen), 0);
}

// After 1.e4, Black to move (ply 1), written without the en-passant square.
// Black is the start position's 449.
// White:
//   30 moves: queen 4 (e2 f3 g4 h5), bishop f1 5, knights 2 + 3, king 1,
//   pawns 7 * 2 + e5 = 15: mobility 8 * 30 = 240
//   home pawns 110; knights -82; bishop pair 83; rank bonus e4 2
//   space: b5 2*1 + d5 6*1 + f5 2*1 + h5 2*1 + a6 4*1 = 16
//   zone e1: f1 1 + d1 1 + e2 4 + f2 1 + d2 4 = 11, shield d2 f2 = 2
//   defended: rank 1 6 + rank 2 (no e2) 10 + e4 0 = 16
//   safety 171/4 = 42, (16000/160)/2 = 50, 2000/64 = 31: 123
//   castling 58; undefended a1 h1 e4: -45
//   sum 240 + 110 - 82 + 83 + 2 + 16 + 123 + 58 - 45 = 505
// score for White 505 - 449 = 56, Black to move: -56
TEST(OpeningEvaluator, AfterKingPawnOpening) {
    EvalEngine t;
    const std::string fen = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1";
    const PositionalSums sums = openingSums(t, fen);
    EXPECT_EQ(sums.white, 505);
    EXPECT_EQ(sums.black, 449);
    EXPECT_EQ(evaluateFen(t, fen), -56);
}

// The fork on c2. White: Ke1 Ra1 Rh1 Ng1, pawns a2 b2 d2-h2 (count 40,
// 41125); Black: Ke8 Ra8 Rh8 Nb4, pawns a7-h7 (count 41, 42125). Phase 1.
const char* forkFen = "r3k2r/pppppppp/8/8/1n6/8/PP1PPPPP/R3K1NR b KQkq - 0 6";

// Black to move, ply 11. White:
//   21 moves (rook a1 3, king 2 + castling c1, knight 2, pawns 13): 168
//   fork: c2 unguarded, Ke1, Ra1: -33, knight on b4: -83, Black to move:
//   -250, together -366
//   home pawn f2 83; knight g1 on the rim -41
//   zone e1: f1 1 + d1 2 + e2 2 + f2 1 + d2 1 = 7, shield 3
//   defended 8 (e1 1, g1 1, a2 1, d2 1, e2 2, f2 1, h2 1), attacked 1 (a2)
//   safety (7000/64)/4 = 109/4 = 27, (8000/160)/2 = 25, -1000/160 = -6,
//          3000/64 = 46: 92
//   castling 58; files: b and d lack a neighbour -22 * 2 = -44
//   undefended a1 h1 b2 g2: -60
//   sum 168 - 366 + 83 - 41 + 92 + 58 - 44 - 60 = -110
// Black:
//   31 moves (rook a8 3, knight 6, pawns 16, king 2 + two castlings,
//   rook h8 2): 248
//   fork: c7 unguarded, Ke8, Ra8, no White knight on b5/d5: -33
//   home pawns f7 83 + c7 27 = 110
//   space (read from Black's side): d5 4 + d3 6 + a2 6 + c2 6 = 22
//   knight b4 rank bonus 4
//   zone e8: f8 2 + d8 2 + e7 1 + f7 1 + d7 1 = 7, shield 3
//   defended 7, safety 27 + (7000/160)/2 = 43/2 = 21 + 46 = 94
//   castling 58; undefended b4 b7 c7 g7 a8 h8: -90
//   sum 248 - 33 + 110 + 22 + 4 + 94 + 58 - 90 = 413
// score for White 41125 - 42125 - 110 - 413 = -1523, Black to move: 1523
TEST(OpeningEvaluator, ForkPatternOnC2WithBlackToMove) {
    EvalEngine t;
    const PositionalSums sums = openingSums(t, forkFen);
    EXPECT_EQ(sums.white, -110);
    EXPECT_EQ(sums.black, 413);
    EXPECT_EQ(evaluateFen(t, forkFen), 1523);
}

// The same with White to move (ply 10): the lists are the same, only the
// last 250 of the pattern goes. White -110 + 250 = 140; score
// -1000 + 140 - 413 = -1273. At ply 8 the pattern is off: White
// -110 + 366 = 256, Black 413 + 33 = 446, score -1000 + 256 - 446 = -1190.
TEST(OpeningEvaluator, ForkPatternDependsOnSideToMoveAndPly) {
    EvalEngine t;
    const std::string whiteToMove = "r3k2r/pppppppp/8/8/1n6/8/PP1PPPPP/R3K1NR w KQkq - 0 6";
    EXPECT_EQ(openingSums(t, whiteToMove).white, 140);
    EXPECT_EQ(evaluateFen(t, whiteToMove), -1273);

    const std::string ply8 = "r3k2r/pppppppp/8/8/1n6/8/PP1PPPPP/R3K1NR w KQkq - 0 5";
    const PositionalSums early = openingSums(t, ply8);
    EXPECT_EQ(early.white, 256);
    EXPECT_EQ(early.black, 446);
    EXPECT_EQ(evaluateFen(t, ply8), -1190);
    // Ply 9 (Black to move at move 5) already counts it.
    EXPECT_EQ(openingSums(t, "r3k2r/pppppppp/8/8/1n6/8/PP1PPPPP/R3K1NR b KQkq - 0 5").white, -110);
}

// The c- and f-pawns earn 110 at home while plyCount < 16: ply 15 still
// 449 as at the start, ply 16 449 - 110 = 339.
TEST(OpeningEvaluator, HomePawnsOnlyBeforePly16) {
    EvalEngine t;
    const PositionalSums ply15 = openingSums(t, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 8");
    EXPECT_EQ(ply15.white, 449);
    EXPECT_EQ(ply15.black, 449);
    const PositionalSums ply16 = openingSums(t, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 9");
    EXPECT_EQ(ply16.white, 339);
    EXPECT_EQ(ply16.black, 339);
}

// 1.e4 f6 2.Qh5+: Black in check starts at -6 and White's list comes back
// empty (the list-only run finds the king attacked), but White's attacks
// are counted all the same.
TEST(OpeningEvaluator, SideInCheckStartsBehindAndOpponentMobilityIsZero) {
    EvalEngine t;
    MoveList moves;
    Position& p = prepare(t, "rnbqkbnr/ppppp1pp/5p2/7Q/4P3/8/PPPP1PPP/RNB1KBNR b KQkq - 1 2", moves);
    ASSERT_EQ(p.status(), InCheck);
    PositionalEvaluation e(t.evalContext(), p, openingWeights);
    e.startSums();
    EXPECT_EQ(e.black.sum, -6);
    EXPECT_EQ(e.white.sum, 0);
    const int opponentMoves = e.addOpponentAttacks();
    EXPECT_EQ(opponentMoves, 0);
    EXPECT_EQ(p.whiteAttacks[sq("e8")], 1);  // the queen through f7 and g6
    EXPECT_EQ(p.whiteAttacks[sq("d2")], 3);  // king, bishop c1, knight b1
    e.scoreMobility(moves.count, opponentMoves);
    EXPECT_EQ(e.black.sum, -6 + 8 * moves.count);
    EXPECT_EQ(e.white.sum, 0);
}

}  // namespace
