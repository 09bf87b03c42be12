// Single terms of the shared evaluation, on positions where the term's own
// arithmetic is easy to follow.
#include "eval_test_support.h"

namespace {

// What one step added to each side, after the square scan that gathers
// the tallies it reads.
template <typename Step>
PositionalSums termAfterScan(TestEngine& t, const std::string& fen, Step step) {
    MoveList moves;
    Position& p = prepare(t, fen, moves);
    PositionalEvaluation e(t.evalContext(), p, endgameWeights);
    e.addOpponentAttacks();
    e.scanSquares();
    const PositionalSums before = e.sums();
    step(e);
    return {e.white.sum - before.white, e.black.sum - before.black};
}

PositionalSums fileTerms(TestEngine& t, const std::string& fen) {
    return termAfterScan(t, fen, [](PositionalEvaluation& e) { e.scoreFiles(); });
}

PositionalSums loneBishopTerms(TestEngine& t, const std::string& fen) {
    return termAfterScan(t, fen, [](PositionalEvaluation& e) { e.scoreLoneBishops(); });
}

// Two White pawns on the d-file and no others (Black pawns c7 e7 stop the
// d-pawns from counting as passed): doubled 83 - 83 * 2 = -83, isolated
// -66, the empty inner files b c e f g -22 each, a and h nothing, and the
// king on the pawnless h-file -20: -83 - 66 - 110 - 20 = -279.
TEST(FileTerms, DoubledAndIsolatedPawnsOnTheDFile) {
    EvalEngine t;
    EXPECT_EQ(fileTerms(t, "7k/2p1p3/8/8/8/3P4/3P4/7K w - - 0 1").white, -279);
}

// White Kb1, pawns a2 b2 c2 against Kf8, pawns a7 b7 c7. The files c d e
// f g lack a neighbouring pawn: -110. A rook on the e-file, free of Black
// pieces and next to the king's f-file, earns 19 + 19 = 38: -72; two rooks
// there 76 + 76 = 152: 42.
TEST(FileTerms, RooksOnAnOpenFileNextToTheEnemyKing) {
    EvalEngine t;
    EXPECT_EQ(fileTerms(t, "5k2/ppp5/8/8/8/8/PPP5/1K2R3 w - - 0 1").white, -72);
    EXPECT_EQ(fileTerms(t, "5k2/ppp5/8/8/8/8/PPP1R3/1K2R3 w - - 0 1").white, 42);
}

// A White pawn on e6 and no Black pawns on d e f: passed, 50 * 5 on each
// side = 500; isolated -66; b c d f g -22 each; king on the pawnless
// g-file -20: 500 - 66 - 110 - 20 = 304.
TEST(FileTerms, PassedPawnOnE6) {
    EvalEngine t;
    EXPECT_EQ(fileTerms(t, "k7/pp6/4P3/8/8/8/8/6K1 w - - 0 1").white, 304);
}

// White's only bishop on the light f1 against eight Black pieces.
// Six on dark squares (h8 a7 b6 c7 e7 g7): ((6 - 4) * 22 / 8) / 2 = 5 / 2 = 2.
// Two on dark squares (c5 e5): ((2 - 4) * 22 / 8) / 2 = -5 / 2 = -2.
TEST(LoneBishop, PiecesOutOfTheBishopsReach) {
    EvalEngine t;
    const PositionalSums mostlyDark = loneBishopTerms(t, "7k/p1p1pppp/1p6/8/8/8/8/K4B2 w - - 0 1");
    EXPECT_EQ(mostlyDark.black, 2);
    EXPECT_EQ(mostlyDark.white, 0);  // Black has no bishop
    EXPECT_EQ(loneBishopTerms(t, "6k1/1p1p1p1p/p7/2p1p3/8/8/8/K4B2 w - - 0 1").black, -2);
}

// White Ke1 with knights d2 and e2, pinned by Ba5 and Re8. Black attacks
// d2 three times (Ba5 Nb3 Nc4) and e2 twice (Re8 Ng3); the king alone
// guards both. Endgame weights, whose king zone is the ring d1 f1 d2 e2 f2:
//   overattacked (3 - 1) + (2 - 1) = 3:      -(3 * 1000) / 90  =  -33
//   pin margin of e2, the last pinned piece,
//   assigned, not added to d2's: 2 - 1 = 1:  -(1 * 1000) / 60  =  -16
//   pinned pieces 2:                         -(2 * 1000) / 60  =  -33
//   defended 1 + 1 = 2:                 ((2 * 1000) / 160) / 2 =   +6
//   attacked 3 + 2 = 5:                      -(5 * 1000) / 160 =  -31
//   zone attacks f1 1, d2 3, e2 2 = 6:       -(6 * 1000) / 64  =  -93
//   weak zone squares, -250 per attacker
//   beyond the first: d2 2, e2 1 = 3:        -(3 * 1000) / 4   = -750
// in all -950.
TEST(Safety, PinsOverattackedPiecesAndAWeakKingZone) {
    EvalEngine t;
    const auto safety = [](PositionalEvaluation& e) {
        e.tallyKingZones();
        e.scoreSafety();
    };
    EXPECT_EQ(termAfterScan(t, "4r2k/8/8/b7/2n5/1n4n1/3NN3/4K3 w - - 0 1", safety).white, -950);
}

// After 1. O-O White has castled (100) and kept no right; Black keeps both
// rights, 33 + 25 = 58. Both kings on their home ranks cost nothing.
TEST(CastlingTerms, CastledAndRightsKept) {
    EvalEngine t;
    t.setBoard("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    ASSERT_TRUE(t.play("e1g1"));
    MoveList moves;
    generateMoves(t.position(), moves, Generation::Full, t->rules);
    PositionalEvaluation e(t.evalContext(), t.position(), openingWeights);
    e.scoreCastling();
    EXPECT_EQ(e.white.sum, 100);
    EXPECT_EQ(e.black.sum, 58);
}

// The square scan's pawn terms with the middle-game weights (no space at
// ply 0, all-zero tables): the advanced-pawn bonuses plus the rank bonus,
// a White pawn and its Black mirror image earning the same. The kings on
// their back ranks add nothing.
TEST(PawnBonuses, MiddlegameAdvancedPawnsAndTheirMirrors) {
    struct Case {
        const char* fen;
        int expected;
    };
    const Case cases[] = {
        {"7k/8/8/4P3/3p4/8/8/K7 w - - 0 1", 20 + 4},       // e5 and d4
        {"7k/8/4P3/8/8/3p4/8/K7 w - - 0 1", 16 + 40 + 6},  // e6 and d3
        {"7k/4P3/8/8/8/8/3p4/K7 w - - 0 1", 33 + 60 + 8},  // e7 and d2
    };
    for (const Case& c : cases) {
        EvalEngine t;
        MoveList moves;
        Position& p = prepare(t, c.fen, moves);
        PositionalEvaluation e(t.evalContext(), p, middlegameWeights);
        e.addOpponentAttacks();
        e.scanSquares();
        EXPECT_EQ(e.white.sum, c.expected) << c.fen;
        EXPECT_EQ(e.black.sum, c.expected) << c.fen;
    }
    // The opening knows only the first bonus (16 on the 6th rank, 33 on the
    // 7th); the bare-king evaluator adds both without the rank bonus.
    EXPECT_EQ(advancedPawnBonus(4, false), 0);
    EXPECT_EQ(advancedPawnBonus(5, false), 16);
    EXPECT_EQ(advancedPawnBonus(6, false), 33);
    EXPECT_EQ(advancedPawnBonus(6, true), 93);
}

}  // namespace
