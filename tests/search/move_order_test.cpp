#include <gtest/gtest.h>

#include <climits>

#include "search/move_order.h"
#include "test_engine.h"

namespace {

// The ordering score the engine gives one move of the position at a node
// below the root, with the piece values of the position's phase (a search
// from it as root starts with them).
int orderingScore(TestEngine& t, const char* move) {
    MoveList moves = t->game.legalMoves();
    t.search().setRoot(t->game.view());
    t.search().startRoot(moves);
    Position& p = t.position();
    generateMoves(p, moves, Generation::Full, t->rules);
    t.search().scoreMoves(p, moves, 1);
    for (int i = 0; i < moves.count; ++i) {
        if (moves.from[i] == sq(move) && moves.to[i] == sq(move + 2)) return moves.score[i];
    }
    ADD_FAILURE() << move << " not generated";
    return 0;
}

TEST(MoveOrder, CapturesByVictimAndAttacker) {
    TestEngine t;
    // Middle-game values: pawn 1000, queen 10250.
    t.setBoard("r1b1kbnr/pppp1ppp/2n5/3q4/4P3/2N5/PPPP1PPP/R1BQKBNR w KQkq - 0 4");
    EXPECT_EQ(orderingScore(t, "e4d5"), 3000 + 10250 - 1000 / 10);  // 13150
    t.setBoard("rnb1kbnr/pppp1ppp/8/4p3/8/8/PPPPQPPP/RNB1KBNR w KQkq - 0 4");
    EXPECT_EQ(orderingScore(t, "e2e5"), 3000 + 1000 - 10250 / 10);  // 2975
}

TEST(MoveOrder, QuietMovesByCoverOfTheTargetSquare) {
    TestEngine t;
    t.setBoard("4k3/8/8/8/8/8/4P3/1N2K3 w - - 0 1");
    // The knight's own step is the only cover of a3: 8 * 1 - 8.
    EXPECT_EQ(orderingScore(t, "b1a3"), 0);
    // A push adds nothing to the attack counts: 8 * 0 - 8.
    EXPECT_EQ(orderingScore(t, "e2e4"), -8);
}

// A quiet move's history share is counter * 2000 / the side's highest
// counter, worked without overflow for counters past 2^31 / 2000: on b1a3,
// whose other terms add up to 0 (above), 1500000 * 2000 / 2000000 = 1500.
// A counter about to pass the int range halves the side's counters first:
// (INT_MAX - 3) / 2 + 3 * 3.
TEST(MoveOrder, HistoryCountersPastTheProductsRange) {
    TestEngine t;
    t.setBoard("4k3/8/8/8/8/8/4P3/1N2K3 w - - 0 1");
    t.search().historyCounters[1][sq("b1") * 64 + sq("a3")] = 1500000;
    t.search().historyMax[1] = 2000000;
    EXPECT_EQ(orderingScore(t, "b1a3"), 1500);

    t.search().historyCounters[1][sq("e2") * 64 + sq("e4")] = INT_MAX - 3;
    t.search().historyMax[1] = INT_MAX - 3;
    t.search().addHistory(WHITE, sq("e2"), sq("e4"), 3);
    EXPECT_EQ(t.search().historyCounters[1][sq("e2") * 64 + sq("e4")], (INT_MAX - 3) / 2 + 9);
    EXPECT_EQ(t.search().historyMax[1], (INT_MAX - 3) / 2 + 9);
    EXPECT_EQ(t.search().historyCounters[1][sq("b1") * 64 + sq("a3")], 750000);
}

TEST(MoveOrder, PromotionsComeBeforeOtherQuietMoves) {
    TestEngine t;
    t.setBoard("1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(orderingScore(t, "a7a8"), 5000);
    // Capturing promotion, with the endgame's pawn of 1025: 3000 + knight
    // 3125 - pawn / 10, plus 4000.
    EXPECT_EQ(orderingScore(t, "a7b8"), 3000 + 3125 - 1025 / 10 + 4000);
}

TEST(MoveOrder, TheTableMoveComesFirstUnlessItsEntryIsAnUpperBound) {
    TestEngine t;
    Position& p = t.setBoard("4k3/8/8/8/8/8/4P3/1N2K3 w - - 0 1");
    t.search().storeHash(p, 2, 77, 300, Lower, sq("e1"), sq("d1"));
    EXPECT_EQ(orderingScore(t, "e1d1"), 50000 + 77);
    t.search().storeHash(p, 2, 77, 300, Upper, sq("e1"), sq("d1"));
    EXPECT_LT(orderingScore(t, "e1d1"), 1000);
}

TEST(MoveOrder, PickNextMoveKeepsListOrderAmongEqualScores) {
    MoveList moves;
    for (int i = 0; i < 5; ++i) moves.append(i, i + 8);
    const int scores[5] = {3, 7, 7, 1, 7};
    for (int i = 0; i < 5; ++i) moves.score[i] = scores[i];
    pickNextMove(0, moves);
    EXPECT_EQ(moves.from[0], 1);
    pickNextMove(1, moves);
    EXPECT_EQ(moves.from[1], 2);
    pickNextMove(2, moves);
    EXPECT_EQ(moves.from[2], 4);
    pickNextMove(3, moves);
    EXPECT_EQ(moves.score[3], 3);
}

TEST(MoveOrder, SortingPutsTheHighestFirstAndCarriesRootLines) {
    RootMoveList root;
    const int scores[6] = {5, -3, 12, 5, 40, 0};
    for (int i = 0; i < 6; ++i) {
        root.moves.append(i, i + 16);
        root.moves.score[i] = scores[i];
        root.lines[i].length = 1;
        root.lines[i].from[0] = static_cast<uint8_t>(i);
    }
    sortRootMoves(root, 0, 5);
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            EXPECT_GE(root.moves.score[i - 1], root.moves.score[i]);
        }
        EXPECT_EQ(root.lines[i].from[0], root.moves.from[i]) << "line left behind its move";
    }
    EXPECT_EQ(root.moves.score[0], 40);

    MoveList moves;
    for (int i = 0; i < 200; ++i) {
        moves.append(i % 64, (i * 7) % 64);
        moves.score[i] = (i * 7919) % 1000 - 500;
    }
    sortMoves(moves, 0, moves.count - 1);
    for (int i = 1; i < moves.count; ++i) EXPECT_GE(moves.score[i - 1], moves.score[i]);
}

}  // namespace
